#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "view/frame_export.h"
#include "view/raster.h"
#include "view/scene_colours.h"

namespace stelvo {
namespace {

class FrameExportTest : public testing::Test {
 protected:
  FrameExportTest() : image_(64, 48, kSceneFormat) {
    image_.fill(kSilver);
    image_.setPixel(3, 4, kRed);
    image_.setPixel(63, 47, kYellow);
  }
  std::string PathOf(const QString& name) const { return dir_.filePath(name).toStdString(); }
  QStringList Entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir_;
  QImage image_;
  std::string error_;
};

TEST_F(FrameExportTest, WritesAPngThatReadsBackPixelForPixelAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(WritePngAtomically(image_, PathOf("frame-000001.png"), error_)) << error_;
  QImage back(QString::fromStdString(PathOf("frame-000001.png")));
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.convertToFormat(kSceneFormat), image_);
  EXPECT_EQ(Entries(), QStringList{"frame-000001.png"});
}

TEST_F(FrameExportTest, ReplacesAnExistingFileWhole) {
  const std::string path = PathOf("out.png");
  QImage other(8, 8, kSceneFormat);
  other.fill(kBlue);
  ASSERT_TRUE(WritePngAtomically(other, path, error_));
  ASSERT_TRUE(WritePngAtomically(image_, path, error_));
  EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(64, 48));
  EXPECT_EQ(Entries().size(), 1);
}

TEST_F(FrameExportTest, FailureReportsOneLineAndLeavesTheTargetAsItWas) {
  const std::string missingDir = PathOf("no-such-dir/frame.png");
  EXPECT_FALSE(WritePngAtomically(image_, missingDir, error_));
  EXPECT_NE(error_.find(missingDir), std::string::npos) << error_;
  EXPECT_EQ(error_.find('\n'), std::string::npos);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(missingDir)));

  const std::string path = PathOf("keep.png");
  {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old content");
  }
  error_.clear();
  EXPECT_FALSE(WritePngAtomically(QImage(), path, error_));
  EXPECT_FALSE(error_.empty());
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("old content"));
  EXPECT_EQ(Entries(), QStringList{"keep.png"});
}

}  // namespace
}  // namespace stelvo
