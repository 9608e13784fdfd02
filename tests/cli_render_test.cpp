// stelvo-cli's pictures, read back as a user's image viewer would.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class CliRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stelvo-cli-render-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args) {
    const std::string command =
        std::string(STELVO_CLI) + " " + args + " >/dev/null 2>" + (dir_ / "stderr").string();
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  fs::path dir_;
};

int DarkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (c == qRgb(0, 0, 0) || c == qRgb(255, 0, 0)) ++count;
    }
  }
  return count;
}

TEST_F(CliRenderTest, PngShowsTheSunAtTheCentreAndTheParticles) {
  const std::string view = " --steps 10 --width 640 --height 480 --zoom 40 --png ";
  const fs::path withCloud = dir_ / "cloud.png", without = dir_ / "planets.png";
  ASSERT_EQ(Run("--bodies 2000" + view + withCloud.string()), 0);
  ASSERT_EQ(Run("--comet 1" + view + without.string()), 0);  // the entry without particles
  const QImage image(QString::fromStdString(withCloud.string()));
  ASSERT_EQ(image.size(), QSize(640, 480));
  // The projection centre is the panel's (642 x 482) centre: layer pixel (321, 241).
  EXPECT_EQ(image.pixel(321, 241), qRgb(255, 255, 0));
  EXPECT_GT(DarkPixels(image) - DarkPixels(QImage(QString::fromStdString(without.string()))), 300);
}

TEST_F(CliRenderTest, FramesAreNumberedFromOneForEveryNthStep) {
  ASSERT_EQ(Run("--bodies 50 --steps 10 --every 3 --planets none --frames " + dir_.string()), 0);
  EXPECT_TRUE(fs::exists(dir_ / "frame-000001.png"));
  EXPECT_TRUE(fs::exists(dir_ / "frame-000003.png"));
  EXPECT_FALSE(fs::exists(dir_ / "frame-000004.png"));
  EXPECT_EQ(QImage(QString::fromStdString((dir_ / "frame-000002.png").string())).size(),
            QSize(1280, 720));
}

TEST_F(CliRenderTest, AMissingFramesDirectoryIsStatusOneAndWritesNothing) {
  EXPECT_EQ(Run("--bodies 50 --steps 2 --frames " + (dir_ / "missing").string()), 1);
  EXPECT_EQ(Run("--bodies 50 --steps 2 --png " + (dir_ / "missing" / "x.png").string()), 1);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

}  // namespace
