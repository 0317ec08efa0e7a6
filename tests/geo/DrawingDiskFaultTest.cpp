// The drawing saved on a full disk and into a read-only folder: refused
// with the user's message, the previous file intact, nothing left beside it,
// and the same drawing saved once the disk has room again.
#include <gtest/gtest.h>

#include "FileFaults.h"
#include "GeoTestSupport.h"
#include "vantor/geo/DrawingList.h"

namespace vantor::geo::test {
namespace {

constexpr const char* kPrevious = "1.000000\t2.000000\n";

DrawingList LongDrawing() {
  DrawingList drawing;
  drawing.StartDrawing();
  for (int i = 0; i < 2000; ++i) drawing.AddDrawingPoint(44.0 + i * 0.001, 38.0 + i * 0.001);
  return drawing;
}

TEST(DrawingOnAFaultyDisk, FullDiskKeepsThePreviousDrawing) {
  ScratchFolder folder;
  folder.Write("dessin.dat", kPrevious);
  const DrawingList drawing = LongDrawing();
  {
    const vantor::test::FileSizeLimit full(4096);
    EXPECT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::CannotCreate);
  }
  EXPECT_EQ(folder.Read("dessin.dat"), kPrevious);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no half-written file left";
  ASSERT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::Saved);
  DrawingList reloaded;
  ASSERT_TRUE(reloaded.LoadDrawing(folder.File("dessin.dat")));
  EXPECT_EQ(reloaded.Size(), drawing.Size());
}

TEST(DrawingOnAFaultyDisk, ReadOnlyFolderKeepsThePreviousDrawing) {
  ScratchFolder folder;
  folder.Write("dessin.dat", kPrevious);
  const DrawingList drawing = LongDrawing();
  {
    const vantor::test::ReadOnlyFolder readOnly(folder.Path());
    ASSERT_EQ(readOnly.Failed(), "");
    EXPECT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::CannotCreate);
  }
  EXPECT_EQ(folder.Read("dessin.dat"), kPrevious);
  EXPECT_EQ(drawing.SaveDrawing(folder.File("dessin.dat")), DrawingSaveStatus::Saved);
}

}  // namespace
}  // namespace vantor::geo::test
