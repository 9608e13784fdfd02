#pragma once
// The version record of an executable and how it is read back from the file.
//
// The build writes the record into the ELF section ".stelvo_version" of the program
// (see version_record.cpp.in); ReadVersionInfo finds that section through the file's
// section headers, so any path can be read, not only the running program. No widgets
// here: the version panel shows what this unit returns.
//
// Record layout: the magic "STELVO-VERSION-1" and a NUL, then key/value pairs, each
// key and each value NUL-terminated, ended by an empty key. Keys:
//   "\FixedFileInfo"                 "<flags mask> <flags> <file type> <subtype>", hex
//   "\VarFileInfo\Translation"       "<lang><codepage> ...", 8 hex digits per entry
//   "\StringFileInfo\<lang><codepage>\<Name>"   the version string Name

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace stelvo {

struct TFileVersionInfo {
  QString FileType;
  QString CompanyName;
  QString FileDescription;
  QString FileVersion;
  QString InternalName;
  QString LegalCopyRight;
  QString LegalTradeMarks;
  QString OriginalFileName;
  QString ProductName;
  QString ProductVersion;
  QString Comments;
  QString SpecialBuildStr;
  QString PrivateBuildStr;
  QString FileFunction;
  bool DebugBuild = false;
  bool PreRelease = false;
  bool SpecialBuild = false;
  bool PrivateBuild = false;
  bool Patched = false;
  bool InfoInferred = false;
};

// Bits of the fixed information's flags word.
inline constexpr std::uint32_t kFlagDebug = 0x01;
inline constexpr std::uint32_t kFlagPreRelease = 0x02;
inline constexpr std::uint32_t kFlagPatched = 0x04;
inline constexpr std::uint32_t kFlagPrivateBuild = 0x08;
inline constexpr std::uint32_t kFlagInfoInferred = 0x10;
inline constexpr std::uint32_t kFlagSpecialBuild = 0x20;

inline constexpr char kVersionSectionName[] = ".stelvo_version";
inline constexpr std::string_view kVersionRecordMagic = "STELVO-VERSION-1";

// The file function text for a fixed file type and subtype ("Application" for 1).
QString FileFunction(std::uint32_t fileType, std::uint32_t fileSubtype);

// What the ELF header of a file says, read without trusting any of its offsets.
struct ElfFacts {
  bool isElf = false;
  bool isExecutableOrShared = false;          // e_type ET_EXEC or ET_DYN
  std::optional<std::string> versionSection;  // contents of ".stelvo_version"
};
ElfFacts InspectElf(const QString& path);

// Splits a record into its keys and values; nullopt when the magic is missing or
// the pairs are not terminated inside the record.
std::optional<std::map<std::string, std::string>> ParseVersionRecord(std::string_view record);

// Fills the record for the file at path. A file that cannot be read, is not an ELF
// executable or shared object, or carries no record gives empty texts and false
// flags (FileType still names the file's type when the MIME database knows it).
TFileVersionInfo ReadVersionInfo(const QString& path);

// The grid rows of the version panel: 16-character labels and their values.
inline constexpr int kVersionRows = 17;
struct VersionRow {
  QString label;
  QString value;
};
VersionRow VersionGridRow(const TFileVersionInfo& info, int row);

}  // namespace stelvo
