#include "vantor/server/gui/ServerWindow.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "vantor/platform/Notifier.h"
#include "vantor/server/ServerEventLog.h"
#include "vantor/server/ServerRuntime.h"
#include "vantor/server/gui/AboutBox.h"
#include "vantor/server/gui/OperatorView.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

constexpr int kBannerHeight = 52;

// The title banner across the window's whole width.
class Banner final : public QWidget {
 public:
  Banner(QString subtitle, QWidget* parent) : QWidget(parent), subtitle_(std::move(subtitle)) {
    setObjectName(QStringLiteral("banner"));
    setFixedHeight(kBannerHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(0, 0, ServerBanner(width(), height(), subtitle_));
  }

 private:
  QString subtitle_;
};

bool BothPasswordsEmpty(const ServerConfig& config) {
  return config.block.password[0].empty() && config.block.password[1].empty();
}

}  // namespace

ServerWindow::ServerWindow(ServerRuntime& runtime, Notifier& notifier, WindowOptions options, QWidget* parent)
    : QDialog(parent),
      runtime_(runtime),
      notifier_(notifier),
      options_(std::move(options)),
      language_(runtime.Language()) {
  setObjectName(QStringLiteral("serverWindow"));
  setWindowTitle(QText(TextId::SrvWindowTitle, language_));
  setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  ApplyServerStyle(*this);
  if (!options_.loadMap) options_.loadMap = [] { return LoadTheatreMap(DefaultDataFolders()); };

  auto* banner = new Banner(QText(TextId::SrvAboutDescription, language_), this);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setAlignment(Qt::AlignCenter);

  view_ = new OperatorView(runtime_, language_, this);

  // The ports the start opens, kept with the window as it has always held them.
  feedPortEdit_ = new QLineEdit(QString::number(runtime_.Options().feedPort), this);
  feedPortEdit_->setObjectName(QStringLiteral("feedPort"));
  feedPortEdit_->hide();
  clientPortEdit_ = new QLineEdit(QString::number(runtime_.Options().clientPort), this);
  clientPortEdit_->setObjectName(QStringLiteral("clientPort"));
  clientPortEdit_->hide();

  notLaunch_ = new QCheckBox(QText(TextId::SrvDontStartFalcrest, language_), this);
  notLaunch_->setObjectName(QStringLiteral("notLaunch"));
  config_ = new QPushButton(QText(TextId::SrvConfigButton, language_), this);
  config_->setObjectName(QStringLiteral("config"));
  config_->setAutoDefault(false);
  start_ = new QPushButton(QText(TextId::SrvStartButton, language_), this);
  start_->setObjectName(QStringLiteral("start"));
  start_->setDefault(true);
  exit_ = new QPushButton(QText(TextId::SrvExitButton, language_), this);
  exit_->setObjectName(QStringLiteral("exit"));
  exit_->setAutoDefault(false);
  connect(start_, &QPushButton::clicked, this, &ServerWindow::Start);
  connect(config_, &QPushButton::clicked, this, &ServerWindow::OpenConfig);
  connect(exit_, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(notLaunch_);
  buttons->addStretch(1);
  buttons->addWidget(config_);
  buttons->addWidget(start_);
  buttons->addWidget(exit_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 10);
  layout->addWidget(banner);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(12, 0, 12, 0);
  body->addWidget(status_);
  body->addWidget(view_, 1);
  body->addLayout(buttons);
  layout->addLayout(body, 1);
  resize(760, 560);

  auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(about, &QShortcut::activated, this, &ServerWindow::ShowAbout);

  connect(&runtime_, &ServerRuntime::StatusChanged, this, &ServerWindow::ShowStatus);
  connect(&runtime_, &ServerRuntime::StartEnabledChanged, start_, &QPushButton::setEnabled);
  events_ = std::make_unique<ServerEventLog>(runtime_.Clients(), runtime_.Feeds(), runtime_.Clock(), language_,
                                             runtime_.Options().joinTimeout);
  connect(events_.get(), &ServerEventLog::EventLine, view_, &OperatorView::AddEvent);

  // What the window reads when it opens; the start reads the rest again.
  runtime_.LoadStartSettings();
  runtime_.LoadConfig();
  notLaunch_->setChecked(runtime_.Config().notLaunch == 1);
  start_->setEnabled(runtime_.StartEnabled());
  ShowStatus(runtime_.StatusText());
  view_->Refresh();
  start_->setFocus();
}

ServerWindow::~ServerWindow() = default;

void ServerWindow::ShowStatus(const QString& text) {
  status_->setText(text);
  status_->setStyleSheet(
      QStringLiteral("color: %1;").arg((runtime_.IsRunning() ? kRunningColour : kStoppedColour).name()));
}

void ServerWindow::Start() {
  ServerConfig config = runtime_.Config();
  config.notLaunch = notLaunch_->isChecked() ? 1 : 0;
  runtime_.ApplyConfig(config);
  runtime_.StartServer({.launchSimulator = options_.launchSimulator});
  view_->Refresh();
}

const TheatreMapBase& ServerWindow::MapBase() {
  if (!mapBase_) mapBase_ = options_.loadMap();
  return *mapBase_;
}

void ServerWindow::OpenMapPage(QWidget* parent, ServerConfig& config, MapSide side) {
  if (options_.openMap) {
    options_.openMap(parent, config, side);
    return;
  }
  const TheatreMapBase& base = MapBase();
  MapPage page(base.picture, config, side, language_, base.coastlineFound, parent);
  page.exec();
}

void ServerWindow::OpenConfig() {
  ConfigSheet sheet(
      runtime_.Config(), language_, notifier_,
      [this](QWidget* parent, ServerConfig& config, MapSide side) { OpenMapPage(parent, config, side); }, this);
  connect(&sheet, &ConfigSheet::Committed, this, [this](const ServerConfig& config) { runtime_.ApplyConfig(config); });
  const int result = options_.runSheet ? options_.runSheet(sheet) : sheet.exec();
  if (result == QDialog::Accepted) {
    runtime_.ApplyConfig(sheet.Result());
    runtime_.SaveConfig();
  }
  // Whatever closed the sheet: what a page stored before opening the map
  // is kept too.
  runtime_.SaveConfig();
  if (BothPasswordsEmpty(runtime_.Config())) notifier_.ShowInformation(QText(TextId::SrvNoPasswords, language_));
  view_->Refresh();
}

void ServerWindow::ShowAbout() {
  AboutBox about(language_, this);
  about.exec();
}

void ServerWindow::keyPressEvent(QKeyEvent* event) {
  // Escape must not end a server that clients depend on; "Exit" does.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ServerWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(QText(TextId::SrvAboutMenu, language_), this, &ServerWindow::ShowAbout);
  menu.exec(event->globalPos());
}

void ServerWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
#ifdef Q_OS_WIN
  if (!systemMenuExtended_) {
    if (HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
      const std::wstring text = QText(TextId::SrvAboutMenu, language_).toStdWString();
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(menu, MF_STRING, kAboutCommand, text.c_str());
    }
  }
#endif
  systemMenuExtended_ = true;
}

bool ServerWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
#ifdef Q_OS_WIN
  const MSG* msg = static_cast<const MSG*>(message);
  // The system menu's commands 16 ... 31 open the about box.
  if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand) {
    ShowAbout();
    *result = 0;
    return true;
  }
#endif
  return QDialog::nativeEvent(eventType, message, result);
}

}  // namespace vantor::server::gui
