#include "ui/version_info.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include "ui/version_panel.h"

namespace stelvo {
namespace {

// Builds a small ELF file: header, the record, the section-name table and three
// section headers (null, names, record).
struct ElfSpec {
  bool is64 = true;
  bool bigEndian = false;
  std::uint16_t type = 2;  // ET_EXEC
  std::string sectionName = ".stelvo_version";
  std::string record;
  std::uint64_t recordOffsetOverride = 0;  // non-zero: a broken offset
};

class ElfWriter {
 public:
  explicit ElfWriter(bool bigEndian) : big_(bigEndian) {}
  void Put(std::string& out, std::size_t offset, std::uint64_t value, int width) const {
    if (out.size() < offset + width) out.resize(offset + width, '\0');
    for (int i = 0; i < width; ++i) {
      const int shift = 8 * (big_ ? width - 1 - i : i);
      out[offset + i] = static_cast<char>((value >> shift) & 0xff);
    }
  }

 private:
  bool big_;
};

std::string BuildElf(const ElfSpec& spec) {
  const ElfWriter w(spec.bigEndian);
  const std::size_t headerSize = spec.is64 ? 64 : 52;
  const std::size_t sectionSize = spec.is64 ? 64 : 40;
  const int aw = spec.is64 ? 8 : 4;
  std::string out(headerSize, '\0');
  out[0] = 0x7f, out[1] = 'E', out[2] = 'L', out[3] = 'F';
  out[4] = spec.is64 ? 2 : 1;
  out[5] = spec.bigEndian ? 2 : 1;
  out[6] = 1;
  const std::size_t recordOffset = out.size();
  out += spec.record;
  const std::size_t namesOffset = out.size();
  const std::string names = std::string("\0.shstrtab\0", 11) + spec.sectionName + '\0';
  out += names;
  out.resize((out.size() + 7) / 8 * 8, '\0');
  const std::size_t shoff = out.size();

  w.Put(out, 16, spec.type, 2);
  w.Put(out, 18, 62, 2);
  w.Put(out, 20, 1, 4);
  w.Put(out, spec.is64 ? 40 : 32, shoff, aw);
  w.Put(out, spec.is64 ? 52 : 40, headerSize, 2);
  w.Put(out, spec.is64 ? 58 : 46, sectionSize, 2);
  w.Put(out, spec.is64 ? 60 : 48, 3, 2);  // sections
  w.Put(out, spec.is64 ? 62 : 50, 1, 2);  // names table index

  auto section = [&](int index, std::uint32_t name, std::uint32_t type, std::uint64_t offset,
                     std::uint64_t size) {
    const std::size_t base = shoff + index * sectionSize;
    w.Put(out, base + sectionSize - 1, 0, 1);  // extend
    w.Put(out, base, name, 4);
    w.Put(out, base + 4, type, 4);
    w.Put(out, base + (spec.is64 ? 24 : 16), offset, aw);
    w.Put(out, base + (spec.is64 ? 32 : 20), size, aw);
  };
  section(0, 0, 0, 0, 0);
  section(1, 1, 3, namesOffset, names.size());
  section(2, 11, 1, spec.recordOffsetOverride ? spec.recordOffsetOverride : recordOffset,
          spec.record.size());
  return out;
}

std::string Record(std::initializer_list<std::pair<std::string, std::string>> entries) {
  std::string record("STELVO-VERSION-1", 16);
  record += '\0';
  for (const auto& [key, value] : entries) {
    record += key + '\0' + value + '\0';
  }
  record += '\0';
  return record;
}

std::string Strings(const std::string& translation) {
  return "\\StringFileInfo\\" + translation + "\\";
}

class VersionFileTest : public ::testing::Test {
 protected:
  QString Write(const std::string& name, const std::string& bytes) {
    const QString path = dir_.filePath(QString::fromStdString(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  QTemporaryDir dir_;
};

const std::string kFullRecord = Record({
    {"\\FixedFileInfo", "0000003F 00000000 00000001 00000000"},
    {"\\VarFileInfo\\Translation", "040704E4"},
    {Strings("040704E4") + "CompanyName", "Firma"},
    {Strings("040704E4") + "FileVersion", "2.3.4"},
    {Strings("040704E4") + "ProductName", "Produkt"},
    {Strings("040704E4") + "SpecialBuild", "sonder"},
    {Strings("040704E4") + "PrivateBuild", "privat"},
    {Strings("040704E4") + "Comments", "Anmerkung"},
});

TEST(VersionGridRows, RunningProgramShowsItsOwnRecordUnderSixteenCharacterLabels) {
  const TFileVersionInfo info = ReadVersionInfo(QCoreApplication::applicationFilePath());
  const char* labels[kVersionRows] = {"FileType        ", "CompanyName     ", "FileDescription ",
                                      "FileVersion     ", "InternalName    ", "LegalCopyRight  ",
                                      "LegalTradeMarks ", "OriginalFileName", "ProductName     ",
                                      "ProductVersion  ", "SpecialBuildStr ", "PrivateBuildStr ",
                                      "FileFunction    ", "DebugBuild      ", "PreRelease      ",
                                      "PrivateBuild    ", "SpecialBuild    "};
  for (int row = 0; row < kVersionRows; ++row) {
    EXPECT_EQ(VersionGridRow(info, row).label, QString::fromLatin1(labels[row])) << row;
    EXPECT_EQ(VersionGridRow(info, row).label.size(), 16);
  }
  EXPECT_FALSE(info.FileType.isEmpty());
  EXPECT_EQ(info.FileVersion, QStringLiteral(STELVO_VERSION));
  EXPECT_EQ(info.ProductVersion, QStringLiteral(STELVO_VERSION));
  EXPECT_EQ(info.ProductName, QStringLiteral("Stelvo"));
  EXPECT_EQ(VersionGridRow(info, 3).value, QStringLiteral(STELVO_VERSION));
  EXPECT_EQ(VersionGridRow(info, 12).value, QStringLiteral("Application"));
  EXPECT_EQ(VersionGridRow(info, 14).value, QStringLiteral("No"));
}

TEST(VersionGridRows, PanelGridHoldsSeventeenRowsOfLabelAndValue) {
  TPanelAbout panel(nullptr);
  panel.FillVersionGrid(QCoreApplication::applicationFilePath());
  ASSERT_EQ(panel.StringGrid_VersionsInfo->rowCount(), 17);
  ASSERT_EQ(panel.StringGrid_VersionsInfo->columnCount(), 2);
  EXPECT_EQ(panel.StringGrid_VersionsInfo->item(12, 0)->text(), QStringLiteral("FileFunction    "));
  EXPECT_EQ(panel.StringGrid_VersionsInfo->item(12, 1)->text(), QStringLiteral("Application"));
  EXPECT_EQ(panel.FileVersionCell(), QStringLiteral(STELVO_VERSION));
  EXPECT_EQ(panel.StringGrid_VersionsInfo->columnWidth(1), 165);
  EXPECT_EQ(panel.StringGrid_VersionsInfo->rowHeight(16), 19);
}

TEST_F(VersionFileTest, SyntheticExecutableRecordFillsEveryField) {
  ElfSpec spec;
  spec.record = kFullRecord;
  const TFileVersionInfo info = ReadVersionInfo(Write("prog", BuildElf(spec)));
  EXPECT_EQ(info.CompanyName, QStringLiteral("Firma"));
  EXPECT_EQ(info.FileVersion, QStringLiteral("2.3.4"));
  EXPECT_EQ(info.ProductName, QStringLiteral("Produkt"));
  EXPECT_EQ(info.SpecialBuildStr, QStringLiteral("sonder"));
  EXPECT_EQ(info.PrivateBuildStr, QStringLiteral("privat"));
  EXPECT_EQ(info.Comments, QStringLiteral("Anmerkung"));
  EXPECT_EQ(info.FileDescription, QString());
  EXPECT_EQ(info.FileFunction, QStringLiteral("Application"));
}

TEST_F(VersionFileTest, SharedObjectAndBigEndianElf32AreReadToo) {
  ElfSpec spec;
  spec.record = kFullRecord;
  spec.type = 3;  // ET_DYN
  EXPECT_EQ(ReadVersionInfo(Write("lib.so", BuildElf(spec))).FileVersion, QStringLiteral("2.3.4"));
  spec.is64 = false;
  spec.bigEndian = true;
  spec.type = 2;
  EXPECT_EQ(ReadVersionInfo(Write("prog32", BuildElf(spec))).FileVersion, QStringLiteral("2.3.4"));
}

TEST_F(VersionFileTest, FileWithoutRecordGivesEmptyTextsAndNo) {
  const QString text = Write("notes.txt", "just some words\n");
  const TFileVersionInfo info = ReadVersionInfo(text);
  EXPECT_FALSE(info.FileType.isEmpty());  // the MIME database still names it
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(VersionGridRow(info, row).value, QString()) << row;
  for (int row = 13; row <= 16; ++row) EXPECT_EQ(VersionGridRow(info, row).value, "No") << row;

  ElfSpec noSection;
  noSection.sectionName = ".comment";
  noSection.record = kFullRecord;
  const TFileVersionInfo elf = ReadVersionInfo(Write("plain", BuildElf(noSection)));
  EXPECT_EQ(elf.FileVersion, QString());
  EXPECT_EQ(elf.FileFunction, QString());
}

TEST_F(VersionFileTest, MissingFileGivesEverythingEmpty) {
  const TFileVersionInfo info = ReadVersionInfo(dir_.filePath(QStringLiteral("nowhere")));
  EXPECT_EQ(info.FileType, QString());
  EXPECT_EQ(info.FileVersion, QString());
}

TEST_F(VersionFileTest, RelocatableObjectIsNotAnExecutable) {
  ElfSpec spec;
  spec.record = kFullRecord;
  spec.type = 1;  // ET_REL
  const TFileVersionInfo info = ReadVersionInfo(Write("prog.o", BuildElf(spec)));
  EXPECT_EQ(info.FileVersion, QString());
  EXPECT_EQ(info.FileFunction, QString());
}

TEST_F(VersionFileTest, FlagSetButMaskedShowsNo) {
  ElfSpec spec;
  spec.record = Record({{"\\FixedFileInfo", "0000003E 0000003F 00000001 00000000"}});
  const TFileVersionInfo info = ReadVersionInfo(Write("masked", BuildElf(spec)));
  EXPECT_FALSE(info.DebugBuild);  // set, but not in the mask
  EXPECT_TRUE(info.PreRelease);
  EXPECT_TRUE(info.Patched);
  EXPECT_TRUE(info.PrivateBuild);
  EXPECT_TRUE(info.InfoInferred);
  EXPECT_TRUE(info.SpecialBuild);
  EXPECT_EQ(VersionGridRow(info, 13).value, QStringLiteral("No"));
  EXPECT_EQ(VersionGridRow(info, 14).value, QStringLiteral("Yes"));
}

TEST_F(VersionFileTest, StringsUnderSecondTranslationOnlyStayEmpty) {
  ElfSpec spec;
  spec.record = Record({{"\\FixedFileInfo", "0000003F 00000000 00000005 000012AB"},
                        {"\\VarFileInfo\\Translation", "040904B0 040704E4"},
                        {Strings("040704E4") + "FileVersion", "9.9"}});
  const TFileVersionInfo info = ReadVersionInfo(Write("second", BuildElf(spec)));
  EXPECT_EQ(info.FileVersion, QString());
  EXPECT_EQ(info.FileFunction, QStringLiteral("Virtual Defice Identifier = 000012AB"));
}

TEST_F(VersionFileTest, RecordWithoutTranslationKeepsFlagsAndFunction) {
  ElfSpec spec;
  spec.record = Record({{"\\FixedFileInfo", "0000003F 00000001 00000002 00000000"},
                        {Strings("040704E4") + "FileVersion", "9.9"}});
  const TFileVersionInfo info = ReadVersionInfo(Write("notrans", BuildElf(spec)));
  EXPECT_EQ(info.FileVersion, QString());
  EXPECT_TRUE(info.DebugBuild);
  EXPECT_EQ(info.FileFunction, QStringLiteral("DLL"));
}

TEST_F(VersionFileTest, DamagedFilesGiveEmptyFieldsWithoutReadingOutside) {
  ElfSpec unterminated;
  unterminated.record = kFullRecord.substr(0, kFullRecord.size() - 5);
  EXPECT_EQ(ReadVersionInfo(Write("cut", BuildElf(unterminated))).FileVersion, QString());

  ElfSpec farOffset;
  farOffset.record = kFullRecord;
  farOffset.recordOffsetOverride = 0xffffffffff00ULL;
  EXPECT_EQ(ReadVersionInfo(Write("far", BuildElf(farOffset))).FileVersion, QString());

  std::string truncated = BuildElf(ElfSpec{.record = kFullRecord});
  truncated.resize(truncated.size() - 70);  // last section header cut off
  EXPECT_EQ(ReadVersionInfo(Write("short", truncated)).FileVersion, QString());

  EXPECT_EQ(ReadVersionInfo(Write("tiny",
                                  "\x7f"
                                  "ELF"))
                .FileVersion,
            QString());
}

TEST(FileFunctionTable, TypesAndSubtypesGiveTheirTexts) {
  struct Case {
    std::uint32_t type, subtype;
    const char* text;  // empty: no text
  };
  const Case cases[] = {
      {0, 7, "Unknown"},       {1, 0, "Application"},         {2, 3, "DLL"},
      {3, 0, "Unknown Driver"}, {3, 8, "InstallableDriver"},  {3, 10, "Communications Driver"},
      {3, 11, ""},             {4, 3, "Truetype Font"},       {4, 4, ""},
      {5, 0x12AB, "Virtual Defice Identifier = 000012AB"},
      {5, 0xABCDEF01, "Virtual Defice Identifier = ABCDEF01"},
      {6, 0, ""},              {7, 1, "Static-link Library"}, {8, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileFunction(c.type, c.subtype), QString::fromLatin1(c.text))
        << c.type << " " << c.subtype;
  }
}

}  // namespace
}  // namespace stelvo
