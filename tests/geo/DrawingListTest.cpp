#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "GeoTestSupport.h"
#include "vantor/geo/DrawingList.h"
#include "vantor/texts/Texts.h"

using namespace vantor::geo;
using namespace vantor::geo::test;

namespace {

// dessin.dat is a text file: its lines end as the platform ends text lines.
std::string TextLines(const std::string& text) {
#ifdef _WIN32
  std::string lines;
  for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return lines;
#else
  return text;
#endif
}

}  // namespace

TEST(DrawingList, OneStrokeSavesFourLines) {
  ScratchFolder folder;
  DrawingList drawing;
  drawing.StartDrawing();
  EXPECT_TRUE(drawing.DrawingMode());
  drawing.AddDrawingPoint(45.1, 38.9);
  drawing.AddDrawingPoint(45.2, 39.05);
  drawing.AddDrawingPoint(-0.0000004, 39.1234567);
  drawing.StopDrawing();
  EXPECT_FALSE(drawing.DrawingMode());
  ASSERT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::Saved);
  EXPECT_EQ(folder.Read("dessin.dat"),
            TextLines("0.000000\t0.000000\n45.100000\t38.900000\n45.200000\t39.050000\n-0.000000\t39.123457\n"));
  EXPECT_FALSE(std::filesystem::exists(folder.File("dessin.dat.new")));
}

TEST(DrawingList, ReloadedStrokesStaySeparateFromNewOnes) {
  ScratchFolder folder;
  {
    DrawingList first;
    first.StartDrawing();
    first.AddDrawingPoint(45.1, 38.9);
    first.AddDrawingPoint(45.2, 39.0);
    first.StopDrawing();
    ASSERT_EQ(first.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::Saved);
  }
  DrawingList second;
  EXPECT_TRUE(second.LoadDrawing(folder.File("dessin.dat")));
  second.StartDrawing();
  second.AddDrawingPoint(44.0, 37.0);
  const auto& p = second.Points();
  ASSERT_EQ(p.size(), 5u);
  EXPECT_TRUE(p[0].IsSeparator());
  EXPECT_EQ(p[1], (GeoPoint{45.1, 38.9}));
  EXPECT_EQ(p[2], (GeoPoint{45.2, 39.0}));
  EXPECT_TRUE(p[3].IsSeparator());
  EXPECT_EQ(p[4], (GeoPoint{44.0, 37.0}));

  // Saving replaces the old file; loading again reproduces the list.
  ASSERT_EQ(second.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::Saved);
  DrawingList third;
  third.LoadDrawing(folder.File("dessin.dat"));
  EXPECT_EQ(third.Points(), second.Points());
}

TEST(DrawingList, UndoOnlyWhileDrawing) {
  DrawingList drawing;
  drawing.AddDrawingPoint(1.0, 2.0);  // e.g. loaded from the file
  EXPECT_FALSE(drawing.UndoDrawingPoint());
  EXPECT_EQ(drawing.Size(), 1u);
  drawing.StartDrawing();
  drawing.AddDrawingPoint(45.0, 38.0);
  drawing.AddDrawingPoint(45.5, 38.5);
  EXPECT_TRUE(drawing.UndoDrawingPoint());
  EXPECT_TRUE(drawing.UndoDrawingPoint());
  EXPECT_TRUE(drawing.UndoDrawingPoint());  // the separator that began the drawing
  ASSERT_EQ(drawing.Size(), 1u);
  EXPECT_TRUE(drawing.UndoDrawingPoint());  // and on into older strokes
  EXPECT_TRUE(drawing.Empty());
  EXPECT_FALSE(drawing.UndoDrawingPoint());  // nothing left
  drawing.AddDrawingPoint(3.0, 4.0);
  drawing.StopDrawing();
  EXPECT_FALSE(drawing.UndoDrawingPoint());
  EXPECT_EQ(drawing.Size(), 1u);
}

TEST(DrawingList, FileLinesStartingWithHashAddNothing) {
  ScratchFolder folder;
  folder.Write("dessin.dat", "# my routes\n45.1\t38.9\n#45.3\t39.0\ngarbage\n\n45.2\t39.1\r\n");
  DrawingList drawing;
  ASSERT_TRUE(drawing.LoadDrawing(folder.File("dessin.dat")));
  const auto& p = drawing.Points();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0], (GeoPoint{45.1, 38.9}));
  EXPECT_TRUE(p[1].IsSeparator());  // unreadable lines become separators
  EXPECT_TRUE(p[2].IsSeparator());
  EXPECT_EQ(p[3], (GeoPoint{45.2, 39.1}));
}

TEST(DrawingList, MissingFileIsNoError) {
  ScratchFolder folder;
  DrawingList drawing;
  EXPECT_FALSE(drawing.LoadDrawing(folder.File("dessin.dat")));
  EXPECT_TRUE(drawing.Empty());
}

TEST(DrawingList, UncreatableFileKeepsTheOldDrawing) {
  ScratchFolder folder;
  folder.Write("dessin.dat", "1.000000\t2.000000\n");
  DrawingList drawing;
  drawing.StartDrawing();
  drawing.AddDrawingPoint(45.0, 38.0);
  EXPECT_EQ(drawing.SaveDrawing(folder.File("no-such-folder") / "dessin.dat"), DrawingSaveStatus::CannotCreate);
  EXPECT_EQ(drawing.Size(), 2u);
#ifndef _WIN32
  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    std::filesystem::permissions(folder.Path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::CannotCreate);
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
  }
#endif
  // A folder where the file should be cannot be replaced.
  std::filesystem::create_directory(folder.File("taken"));
  EXPECT_EQ(drawing.SaveDrawing(folder.File("taken")), DrawingSaveStatus::CannotCreate);
  EXPECT_EQ(folder.Read("dessin.dat"), "1.000000\t2.000000\n");
  EXPECT_STREQ(vantor::Text(vantor::TextId::GeoCantCreateFile, vantor::Language::Spanish), "Can't Create file");
}
