#include "vantor/missiongen/Mission.h"

#include "vantor/missiongen/FeedText.h"
#include "vantor/protocol/Constants.h"

#include <algorithm>
#include <cctype>

namespace vantor::missiongen {
namespace {

bool IsRadarSite(const MissionObject& object) {
  if (object.classLetter != 'A') return false;
  std::string upper = object.name;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return std::any_of(protocol::RadarTypeNames.begin(), protocol::RadarTypeNames.end(),
                     [&](std::string_view type) { return upper.find(type) != std::string::npos; });
}

bool IsAwacs(const MissionObject& object) {
  return object.typeName.find("A-50") != std::string::npos || object.typeName.find("E-3A") != std::string::npos;
}

}  // namespace

std::string_view CoalitionName(Coalition coalition) {
  return coalition == Coalition::Red ? kRedCoalitionName : kBlueCoalitionName;
}

Mission::Mission(const MissionOptions& options) : options_(options), random_(Random(options.seed).Fork(1000)) {
  windFromRad_ = random_.Uniform(0, geo::kTwoPi);
  // A daylight start between 06:00 and 16:00 on the half hour.
  startClockSeconds_ = 6 * 3600 + 1800 * static_cast<int>(random_.Index(21));
  nextLossSeconds_ = random_.Uniform(kFirstLossMinSeconds, kFirstLossMaxSeconds);
  ScenarioOptions scenario;
  scenario.seed = options.seed;
  scenario.objectCount = options.objectCount;
  scenario.windFromRad = windFromRad_;
  objects_ = BuildScenario(scenario, ids_);
  for (const auto& object : objects_) {
    if (object->callsignBase.empty()) continue;
    int& last = lastCallsignNumber_[object->callsignBase + '/' + object->typeName];
    last = std::max(last, object->callsignNumber);
  }
}

int Mission::ClockSeconds() const { return startClockSeconds_ + static_cast<int>(elapsed_); }

std::string Mission::ClockRecord() const { return MissionClockRecord(ClockSeconds()); }

const MissionObject* Mission::Find(int id) const {
  for (const auto& object : objects_)
    if (object->id == id) return object.get();
  return nullptr;
}

std::string Mission::NextBatch() {
  std::string text;
  text.reserve(objects_.size() * 80);
  for (const auto& object : objects_) {
    FeedObject record;
    record.id = object->id;
    record.classLetter = object->classLetter;
    record.name = object->name;
    record.coalitionName = CoalitionName(object->coalition);
    record.latitude = object->state.position.latitude;
    record.longitude = object->state.position.longitude;
    record.altitudeM = object->state.altitudeM;
    record.headingRad = object->state.headingRad;
    AppendFeedRecord(text, record);
  }
  Step(1.0 / options_.rate);
  return text;
}

void Mission::Step(double dt) {
  ++batches_;
  // Time from the batch count, so long runs do not gather rounding drift.
  elapsed_ = static_cast<double>(batches_) / options_.rate;
  for (const auto& object : objects_)
    if (object->mover) object->mover->Advance(dt, object->state);
  if (elapsed_ >= nextLossSeconds_) {
    LoseOne();
    nextLossSeconds_ = elapsed_ + random_.Uniform(180, 360);
  }
  BringReplacements();
}

void Mission::LoseOne() {
  // Mostly aircraft in flight; every third loss a radar site on the ground.
  const bool groundLoss = losses_ % 3 == 2;
  std::vector<std::size_t> candidates;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const MissionObject& object = *objects_[i];
    const bool eligible =
        groundLoss ? IsRadarSite(object)
                   : object.classLetter == 'B' && object.mover && object.mover->Airborne() && !IsAwacs(object);
    if (eligible) candidates.push_back(i);
  }
  if (candidates.empty()) return;
  const std::size_t victim = candidates[random_.Index(candidates.size())];
  std::unique_ptr<MissionObject> lost = std::move(objects_[victim]);
  objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(victim));
  ++losses_;
  if (dynamic_cast<const SortieMover*>(lost->mover.get()) != nullptr)
    replacements_.push_back({elapsed_ + kReplacementDelaySeconds, std::move(lost)});
}

void Mission::BringReplacements() {
  for (auto it = replacements_.begin(); it != replacements_.end();) {
    if (it->dueSeconds > elapsed_) {
      ++it;
      continue;
    }
    const MissionObject& lost = *it->lost;
    int& last = lastCallsignNumber_[lost.callsignBase + '/' + lost.typeName];
    ++last;
    if (auto replacement = MakeReplacement(lost, last, ids_, random_)) objects_.push_back(std::move(replacement));
    it = replacements_.erase(it);
  }
}

}  // namespace vantor::missiongen
