#include "ui/version_info.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace stelvo {
namespace {

// The file's type name is cut to this many characters.
constexpr int kMaxTypeNameLength = 80;
// A record larger than this is not ours; it is not even read.
constexpr std::uint64_t kMaxRecordBytes = 64 * 1024;

constexpr std::uint16_t kElfTypeExec = 2;
constexpr std::uint16_t kElfTypeShared = 3;
constexpr std::uint32_t kSectionNoBits = 8;
constexpr std::uint16_t kSectionIndexEscape = 0xffff;  // SHN_XINDEX

// Reads ranges of a file, refusing anything that does not lie inside it.
class FileRanges {
 public:
  explicit FileRanges(const QString& path) : file_(path) {
    open_ = file_.open(QIODevice::ReadOnly);
    size_ = open_ ? static_cast<std::uint64_t>(file_.size()) : 0;
  }

  std::optional<std::string> Read(std::uint64_t offset, std::uint64_t count) {
    if (!open_ || offset > size_ || count > size_ - offset) return std::nullopt;
    if (!file_.seek(static_cast<qint64>(offset))) return std::nullopt;
    std::string bytes(count, '\0');
    if (count > 0 &&
        file_.read(bytes.data(), static_cast<qint64>(count)) != static_cast<qint64>(count)) {
      return std::nullopt;
    }
    return bytes;
  }

 private:
  QFile file_;
  bool open_ = false;
  std::uint64_t size_ = 0;
};

// Unsigned integers of either byte order from a byte string.
class FieldReader {
 public:
  FieldReader(const std::string& bytes, bool bigEndian) : bytes_(bytes), big_(bigEndian) {}

  std::uint64_t Get(std::size_t offset, int width) const {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
      const auto byte = static_cast<unsigned char>(bytes_[offset + (big_ ? i : width - 1 - i)]);
      value = (value << 8) | byte;
    }
    return value;
  }

 private:
  const std::string& bytes_;
  bool big_;
};

struct SectionHeader {
  std::uint32_t name = 0;
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint32_t link = 0;
};

// Field offsets of the two ELF classes.
struct ElfLayout {
  int addressWidth;
  std::size_t headerSize, shoff, shentsize, shnum, shstrndx;
  std::size_t sectionSize, secOffset, secSize, secLink;
};
constexpr ElfLayout kElf32{4, 52, 32, 46, 48, 50, 40, 16, 20, 24};
constexpr ElfLayout kElf64{8, 64, 40, 58, 60, 62, 64, 24, 32, 40};

bool IsHexText(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::optional<std::array<std::uint32_t, 4>> ParseFixedInfo(const std::string& text) {
  std::array<std::uint32_t, 4> fields{};
  std::size_t pos = 0;
  for (auto& field : fields) {
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    const std::string_view token(text.data() + pos, end - pos);
    if (!IsHexText(token) || token.size() > 8) return std::nullopt;
    field = static_cast<std::uint32_t>(std::stoul(std::string(token), nullptr, 16));
    pos = end + 1;
  }
  if (pos <= text.size()) return std::nullopt;  // more than four fields
  return fields;
}

QString YesNo(bool flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); }

}  // namespace

QString FileFunction(std::uint32_t fileType, std::uint32_t fileSubtype) {
  static const char* const kDrivers[] = {
      "Unknown Driver",    "Printer Driver", "Keyboard Driver",      "Language Driver",
      "Display Driver",    "Mouse Driver",   "Network Driver",       "System Driver",
      "InstallableDriver", "Sound Driver",   "Communications Driver"};
  static const char* const kFonts[] = {"Unknown Font", "Raster Font", "Vector Font",
                                       "Truetype Font"};
  switch (fileType) {
    case 0:
      return QStringLiteral("Unknown");
    case 1:
      return QStringLiteral("Application");
    case 2:
      return QStringLiteral("DLL");
    case 3:
      return fileSubtype < std::size(kDrivers) ? QString::fromLatin1(kDrivers[fileSubtype])
                                               : QString();
    case 4:
      return fileSubtype < std::size(kFonts) ? QString::fromLatin1(kFonts[fileSubtype]) : QString();
    case 5:
      return QStringLiteral("Virtual Defice Identifier = ") +
             QStringLiteral("%1").arg(fileSubtype, 8, 16, QLatin1Char('0')).toUpper();
    case 7:
      return QStringLiteral("Static-link Library");
    default:
      return QString();
  }
}

ElfFacts InspectElf(const QString& path) {
  ElfFacts facts;
  FileRanges file(path);
  const auto ident = file.Read(0, 16);
  if (!ident || std::memcmp(ident->data(),
                            "\x7f"
                            "ELF",
                            4) != 0)
    return facts;
  const char elfClass = (*ident)[4];
  const char byteOrder = (*ident)[5];
  if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2)) return facts;
  const ElfLayout& layout = elfClass == 1 ? kElf32 : kElf64;
  const bool big = byteOrder == 2;
  const int aw = layout.addressWidth;

  const auto header = file.Read(0, layout.headerSize);
  if (!header) return facts;
  const FieldReader h(*header, big);
  facts.isElf = true;
  const auto type = h.Get(16, 2);
  facts.isExecutableOrShared = type == kElfTypeExec || type == kElfTypeShared;

  const std::uint64_t shoff = h.Get(layout.shoff, aw);
  const std::uint64_t shentsize = h.Get(layout.shentsize, 2);
  std::uint64_t shnum = h.Get(layout.shnum, 2);
  std::uint64_t shstrndx = h.Get(layout.shstrndx, 2);
  if (shoff == 0 || shentsize < layout.sectionSize) return facts;

  auto readSection = [&](std::uint64_t index) -> std::optional<SectionHeader> {
    const auto bytes = file.Read(shoff + index * shentsize, layout.sectionSize);
    if (!bytes) return std::nullopt;
    const FieldReader s(*bytes, big);
    SectionHeader sec;
    sec.name = static_cast<std::uint32_t>(s.Get(0, 4));
    sec.type = static_cast<std::uint32_t>(s.Get(4, 4));
    sec.offset = s.Get(layout.secOffset, aw);
    sec.size = s.Get(layout.secSize, aw);
    sec.link = static_cast<std::uint32_t>(s.Get(layout.secLink, 4));
    return sec;
  };

  // Many sections: the real count and string-table index sit in section 0.
  if (shnum == 0 || shstrndx == kSectionIndexEscape) {
    const auto first = readSection(0);
    if (!first) return facts;
    if (shnum == 0) shnum = first->size;
    if (shstrndx == kSectionIndexEscape) shstrndx = first->link;
  }
  if (shstrndx >= shnum || shnum > (1u << 24)) return facts;
  const auto names = readSection(shstrndx);
  if (!names || names->type == kSectionNoBits) return facts;

  const std::string_view wanted(kVersionSectionName, sizeof kVersionSectionName);  // with NUL
  for (std::uint64_t i = 0; i < shnum; ++i) {
    const auto sec = readSection(i);
    if (!sec) return facts;
    if (sec->name > names->size || names->size - sec->name < wanted.size()) continue;
    const auto name = file.Read(names->offset + sec->name, wanted.size());
    if (!name || *name != wanted) continue;
    if (sec->type == kSectionNoBits || sec->size > kMaxRecordBytes) return facts;
    facts.versionSection = file.Read(sec->offset, sec->size);
    return facts;
  }
  return facts;
}

std::optional<std::map<std::string, std::string>> ParseVersionRecord(std::string_view record) {
  if (record.size() <= kVersionRecordMagic.size() ||
      record.substr(0, kVersionRecordMagic.size()) != kVersionRecordMagic ||
      record[kVersionRecordMagic.size()] != '\0') {
    return std::nullopt;
  }
  std::size_t pos = kVersionRecordMagic.size() + 1;
  auto nextText = [&]() -> std::optional<std::string> {
    const std::size_t end = record.find('\0', pos);
    if (end == std::string_view::npos) return std::nullopt;
    std::string text(record.substr(pos, end - pos));
    pos = end + 1;
    return text;
  };
  std::map<std::string, std::string> entries;
  for (;;) {
    const auto key = nextText();
    if (!key) return std::nullopt;
    if (key->empty()) return entries;
    const auto value = nextText();
    if (!value) return std::nullopt;
    entries.emplace(*key, *value);
  }
}

TFileVersionInfo ReadVersionInfo(const QString& path) {
  TFileVersionInfo info;
  const QFileInfo fileInfo(path);
  if (!fileInfo.exists()) return info;
  info.FileType = QMimeDatabase().mimeTypeForFile(fileInfo).comment().left(kMaxTypeNameLength);

  const ElfFacts elf = InspectElf(path);
  if (!elf.isExecutableOrShared || !elf.versionSection) return info;
  const auto entries = ParseVersionRecord(*elf.versionSection);
  if (!entries) return info;
  auto lookup = [&](const std::string& key) -> const std::string* {
    const auto it = entries->find(key);
    return it == entries->end() ? nullptr : &it->second;
  };

  // Only the first translation is ever used.
  std::string translation;
  if (const std::string* list = lookup("\\VarFileInfo\\Translation")) {
    const std::string first = list->substr(0, list->find(' '));
    if (first.size() == 8 && IsHexText(first)) {
      translation = first;
      for (char& c : translation)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  auto versionString = [&](const char* key) {
    if (translation.empty()) return QString();
    const std::string* value = lookup("\\StringFileInfo\\" + translation + "\\" + key);
    return value ? QString::fromStdString(*value) : QString();
  };
  info.CompanyName = versionString("CompanyName");
  info.FileDescription = versionString("FileDescription");
  info.FileVersion = versionString("FileVersion");
  info.InternalName = versionString("InternalName");
  info.LegalCopyRight = versionString("LegalCopyRight");
  info.LegalTradeMarks = versionString("LegalTradeMarks");
  info.OriginalFileName = versionString("OriginalFileName");
  info.ProductName = versionString("ProductName");
  info.ProductVersion = versionString("ProductVersion");
  info.Comments = versionString("Comments");
  info.SpecialBuildStr = versionString("SpecialBuild");
  info.PrivateBuildStr = versionString("PrivateBuild");

  const std::string* fixedText = lookup("\\FixedFileInfo");
  const auto fixed = fixedText ? ParseFixedInfo(*fixedText) : std::nullopt;
  if (fixed) {
    const auto [mask, flags, fileType, fileSubtype] = *fixed;
    auto flag = [&, mask = mask, flags = flags](std::uint32_t bit) {
      return (flags & mask & bit) == bit;
    };
    info.DebugBuild = flag(kFlagDebug);
    info.PreRelease = flag(kFlagPreRelease);
    info.SpecialBuild = flag(kFlagSpecialBuild);
    info.PrivateBuild = flag(kFlagPrivateBuild);
    info.Patched = flag(kFlagPatched);
    info.InfoInferred = flag(kFlagInfoInferred);
    info.FileFunction = FileFunction(fileType, fileSubtype);
  }
  return info;
}

VersionRow VersionGridRow(const TFileVersionInfo& info, int row) {
  struct Entry {
    const char* name;
    QString value;
  };
  const Entry entries[kVersionRows] = {
      {"FileType", info.FileType},
      {"CompanyName", info.CompanyName},
      {"FileDescription", info.FileDescription},
      {"FileVersion", info.FileVersion},
      {"InternalName", info.InternalName},
      {"LegalCopyRight", info.LegalCopyRight},
      {"LegalTradeMarks", info.LegalTradeMarks},
      {"OriginalFileName", info.OriginalFileName},
      {"ProductName", info.ProductName},
      {"ProductVersion", info.ProductVersion},
      {"SpecialBuildStr", info.SpecialBuildStr},
      {"PrivateBuildStr", info.PrivateBuildStr},
      {"FileFunction", info.FileFunction},
      {"DebugBuild", YesNo(info.DebugBuild)},
      {"PreRelease", YesNo(info.PreRelease)},
      {"PrivateBuild", YesNo(info.PrivateBuild)},
      {"SpecialBuild", YesNo(info.SpecialBuild)},
  };
  const Entry& entry = entries[row];
  return {QString::fromLatin1(entry.name).leftJustified(16, QLatin1Char(' ')), entry.value};
}

}  // namespace stelvo
