// stelvo-cli's pictures, read back as a user's image viewer would.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

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

extern "C" char** environ;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST_F(CliRenderTest, AKilledPngWriteLeavesTheOldFileOrTheWholeNewOne) {
  const fs::path png = dir_ / "last.png";
  const std::string args = "--bodies 20000 --steps 2 --width 1880 --height 860 --png ";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Run(args + png.string()), 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  // Every process draws the same picture (the random sequence starts anew), so a
  // finished file must equal this one byte for byte.
  const std::string complete = ReadBytes(png);
  std::vector<std::string> argv = {STELVO_CLI, "--bodies", "20000", "--steps", "2", "--width",
                                   "1880", "--height", "860", "--png", png.string()};
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  int replaced = 0;
  for (int k = 0; k < 16; ++k) {
    { std::ofstream(png) << "old"; }
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, STELVO_CLI, nullptr, nullptr, pointers.data(), environ), 0);
    // The last run is not killed, so that a loaded machine still shows a finished file.
    if (k < 15) {
      std::this_thread::sleep_for(whole * k / 10);
      kill(pid, SIGKILL);
    }
    waitpid(pid, nullptr, 0);
    const std::string bytes = ReadBytes(png);
    if (bytes == "old") continue;
    ++replaced;
    EXPECT_TRUE(bytes == complete) << "a torn picture, kill " << k;
  }
  EXPECT_GT(replaced, 0);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp.") == std::string::npos) continue;
    EXPECT_TRUE(ReadBytes(entry.path()) == complete) << "a partial temporary file " << name;
  }
}

}  // namespace
