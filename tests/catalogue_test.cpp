#include "initial/catalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <set>
#include <string>
#include <string_view>

#include "data/comet_catalogue.h"
#include "initial/astronom.h"

namespace stelvo {
namespace {

constexpr std::string_view kSohoRow =
    "SOHO ......   5.31   3.042025  0.053132  0.982534   57.2299   44.2099   12.9974 201607 "
    "1.4132 SOHO  342P/SOHO";

constexpr std::array<std::string_view, 9> kTellingRows = {
    "ATLAS......   5.65   3.170769  2.177643  0.313213   99.8886  252.3915   11.8503 20170727.9103 "
    "ATLAS P/2017 S5 (ATLAS)",
    "Catal......   4.44   2.699649  0.832820  0.691508  222.8530   95.6737    5.6760 201811 2.0772 "
    "Catal 300P/Catalina",
    "LINEA......   7.33   3.774619  1.785591  0.526948   12.5298  333.5209   15.6161 201912 2.1776 "
    "LINEA 160P/LINEAR",
    "LONEO......   7.65   3.881081  1.759620  0.546616  245.6368  272.4109   18.5091 20160724.6556 "
    "LONEO 150P/LONEOS",
    "NEAT ......   7.32   3.770311  2.066349  0.451942  349.7261  102.0954   12.7075 201908 5.3087 "
    "NEAT  163P/NEAT",
    "PANST......   6.46   3.469748  2.036725  0.413005  230.7266  146.8802    4.9404 201805 7.7356 "
    "PANST 253P/PANSTARRS",
    kSohoRow,
    "Space......   5.52   3.125020  1.520172  0.513548   87.1783  153.1777    9.9888 20180827.9528 "
    "Space 125P/Spacewatch",
    "WISE ......   8.12   4.039010  2.190254  0.457725  316.6930  316.6786   21.2008 201802 8.6829 "
    "WISE  245P/WISE",
};

// The line with the characters from 1-based `column` on replaced by `text`.
std::string Replace(std::string_view line, int column, std::string_view text) {
  std::string result(line);
  result.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  return result;
}

BahnElement Parse(std::string_view line) {
  BahnElement e;
  ParseCometLine(line, e);
  return e;
}

void ExpectSameElements(const BahnElement& actual, const BahnElement& expected) {
  EXPECT_EQ(actual.ShortName, expected.ShortName);
  EXPECT_EQ(actual.FullName, expected.FullName);
  EXPECT_EQ(actual.q, expected.q);
  EXPECT_EQ(actual.Ecc, expected.Ecc);
  EXPECT_EQ(actual.ArgPeri, expected.ArgPeri);
  EXPECT_EQ(actual.Node, expected.Node);
  EXPECT_EQ(actual.Incl, expected.Incl);
  EXPECT_EQ(actual.PeriJD, expected.PeriJD);
}

std::string FieldError(std::string_view line) {
  try {
    Parse(line);
  } catch (const CometFieldError& error) {
    return error.what();
  }
  return "no error";
}

// The discoverer or survey part of a designation: after the slash of a numbered
// comet, inside the parentheses of a provisional one.
std::string NamePart(const std::string& designation) {
  if (std::isdigit(static_cast<unsigned char>(designation[0]))) {
    return designation.substr(designation.find('/') + 1);
  }
  const std::size_t open = designation.find('(');
  return designation.substr(open + 1, designation.size() - open - 2);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

double Column(std::string_view line, int column, int width) {
  double value = 0;
  EXPECT_TRUE(StrictFloat(line.substr(column - 1, width), value)) << line;
  return value;
}

TEST(ParseCometLine, ReadsEveryFieldOfTheSohoRow) {
  const BahnElement e = Parse(kSohoRow);
  EXPECT_EQ(e.ShortName, "SOHO ");
  EXPECT_EQ(e.FullName, "342P/SOHO");
  EXPECT_EQ(e.q, 0.053132);
  EXPECT_EQ(e.Ecc, 0.982534);
  EXPECT_EQ(e.ArgPeri, 57.2299);
  EXPECT_EQ(e.Node, 44.2099);
  EXPECT_EQ(e.Incl, 12.9974);
  EXPECT_EQ(e.PeriJD, JulianDate(2016, 7, 0, 1.4132 * 24, 0, 0));
  EXPECT_NEAR(e.PeriJD, 2457570.9132, 1e-6);
}

TEST(ParseCometLine, OverwritesEveryFieldOfAnEarlierParse) {
  BahnElement e;
  ParseCometLine(kTellingRows[0], e);  // the longer name of ATLAS first
  ParseCometLine(kSohoRow, e);
  ExpectSameElements(e, Parse(kSohoRow));
}

TEST(ParseCometLine, ReadsADayWithBlankTensDigitAsLeadingBlank) {
  const BahnElement e = Parse(Replace(kSohoRow, 87, " 7.4016"));
  EXPECT_EQ(e.PeriJD, JulianDate(2016, 7, 0, 7.4016 * 24, 0, 0));
  EXPECT_EQ(Parse(kTellingRows[0]).PeriJD, JulianDate(2017, 7, 0, 27.9103 * 24, 0, 0));
}

TEST(ParseCometLine, RejectsTrailingBlanksAndLeftAlignedFields) {
  EXPECT_EQ(FieldError(Replace(kSohoRow, 87, "1.4132 ")),
            "field 'day' (columns 87-93) does not convert");
  EXPECT_EQ(FieldError(Replace(kSohoRow, 30, "0.053132  ")),
            "field 'q' (columns 30-39) does not convert");
  EXPECT_EQ(FieldError(Replace(kSohoRow, 85, "7 ")),
            "field 'month' (columns 85-86) does not convert");
}

TEST(ParseCometLine, NamesTheFirstNumericFieldThatDoesNotConvert) {
  struct Case {
    int lastColumn;
    const char* message;
  };
  const Case cases[] = {
      {39, "field 'q' (columns 30-39) does not convert"},
      {49, "field 'Ecc' (columns 40-49) does not convert"},
      {59, "field 'ArgPeri' (columns 50-59) does not convert"},
      {69, "field 'Node' (columns 60-69) does not convert"},
      {79, "field 'Incl' (columns 70-79) does not convert"},
      {84, "field 'year' (columns 81-84) does not convert"},
      {86, "field 'month' (columns 85-86) does not convert"},
      {93, "field 'day' (columns 87-93) does not convert"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldError(Replace(kSohoRow, c.lastColumn, "x")), c.message);
  }
  // A line cut off inside the numeric fields.
  EXPECT_EQ(FieldError(kSohoRow.substr(0, 86)), "field 'day' (columns 87-93) does not convert");
}

TEST(ParseCometLine, NeverReadsPeriodAxisKeyCopyOrSeparators) {
  const BahnElement expected = Parse(kSohoRow);
  std::string line = Replace(kSohoRow, 6, "x.x.x.x.x.x.x.x.x.x.x.x.");  // columns 6-29
  line = Replace(line, 80, "#");
  line = Replace(line, 94, "#?!%&$#");  // columns 94-100
  ExpectSameElements(Parse(line), expected);
}

TEST(ParseCometLine, LineEndingBeforeColumn101GivesEmptyFullName) {
  BahnElement expected = Parse(kSohoRow);
  expected.FullName.clear();
  ExpectSameElements(Parse(kSohoRow.substr(0, 100)), expected);
  ExpectSameElements(Parse(kSohoRow.substr(0, 93)), expected);
}

TEST(ParseCometLine, KeepsAtMost99CharactersOfTheName) {
  const std::string name(120, 'N');
  EXPECT_EQ(Parse(std::string(kSohoRow.substr(0, 100)) + name).FullName, name.substr(0, 99));
}

TEST(StrictFloat, AcceptsBlanksSignsDecimalsAndExponents) {
  const std::pair<std::string_view, double> cases[] = {
      {"   1.5", 1.5},   {"+1.5", 1.5},        {"-1.5", -1.5},       {"42", 42.0},
      {"5.", 5.0},       {".5", 0.5},          {"1e3", 1000.0},      {"1E+3", 1000.0},
      {"2.5e-2", 0.025}, {"  -7.25E1", -72.5}, {"0000.1250", 0.125}, {" 7.4016", 7.4016},
  };
  for (const auto& [text, expected] : cases) {
    double value = 0;
    EXPECT_TRUE(StrictFloat(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
}

TEST(StrictFloat, RejectsAnythingButOneNumberReachingTheFieldEnd) {
  for (std::string_view text :
       {"",   "   ", "1.5 ",  "1.5x", "1,5", "1.2.3", "--1",   "+-1",   "- 1",   "+",     ".", "e5",
        "1e", "1e+", "1e3.5", "inf",  "nan", "0x10",  "\t1.5", "1.5\n", "1e400", "-1e400"}) {
    double value = 99.0;
    EXPECT_FALSE(StrictFloat(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, 99.0) << text;
  }
}

TEST(StrictFloat, RoundsCorrectly) {
  double value = 0;
  ASSERT_TRUE(StrictFloat("0.1", value));
  EXPECT_EQ(value, 0.1);
  ASSERT_TRUE(StrictFloat("2457570.9132", value));
  EXPECT_EQ(value, 2457570.9132);
  ASSERT_TRUE(StrictFloat("9007199254740993", value));  // halfway: ties to even
  EXPECT_EQ(value, 9007199254740992.0);
}

TEST(StrictInt, AcceptsBlanksSignsAndLeadingZeros) {
  const std::pair<std::string_view, int> cases[] = {
      {"02", 2},
      {" 2016", 2016},
      {"+7", 7},
      {"-7", -7},
      {"0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
  };
  for (const auto& [text, expected] : cases) {
    int value = 0;
    EXPECT_TRUE(StrictInt(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
}

TEST(StrictInt, RejectsBlankFieldsTrailingCharactersAndOverflow) {
  for (std::string_view text : {"", "  ", "2016 ", "20 16", "1.0", "7x", "+-1", "--1", "+", "-",
                                "1e3", "2147483648", "-2147483649", "99999999999"}) {
    int value = 99;
    EXPECT_FALSE(StrictInt(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, 99) << text;
  }
}

TEST(ParseCatalogueEntry, NamesIndexAndFieldOfABadLine) {
  const std::string badEcc = Replace(kSohoRow, 45, "?");
  const std::array<std::string_view, 3> lines = {kSohoRow, kTellingRows[0], badEcc};
  BahnElement e;
  EXPECT_NO_THROW(ParseCatalogueEntry(lines, 1, e));
  try {
    ParseCatalogueEntry(lines, 2, e);
    FAIL() << "bad line accepted";
  } catch (const RunError& error) {
    EXPECT_NE(dynamic_cast<const CatalogueError*>(&error), nullptr);
    EXPECT_STREQ(error.what(),
                 "Comet catalogue line 2: field 'Ecc' (columns 40-49) does not convert");
  }
}

TEST(ParseCatalogueEntry, RejectsAnIndexOutsideTheCatalogue) {
  BahnElement e;
  EXPECT_THROW(ParseCatalogueEntry(-1, e), CatalogueError);
  EXPECT_THROW(ParseCatalogueEntry(kCometCount, e), CatalogueError);
  EXPECT_NO_THROW(ParseCatalogueEntry(kCometCount - 1, e));
}

TEST(StoredCatalogue, EveryLineParsesWithinTheStatedRanges) {
  for (int index = 0; index < kCometCount; ++index) {
    SCOPED_TRACE(index);
    BahnElement e;
    ASSERT_NO_THROW(ParseCatalogueEntry(index, e));
    const std::string_view line = kCometCatalogue[index];
    EXPECT_GE(e.q, 0.039498);
    EXPECT_LE(e.q, 11.741422);
    EXPECT_GE(e.Ecc, 0.021223);
    EXPECT_LE(e.Ecc, 0.989858);
    EXPECT_GE(e.ArgPeri, 0.0);
    EXPECT_LE(e.ArgPeri, 360.0);
    EXPECT_GE(e.Node, 0.0);
    EXPECT_LE(e.Node, 360.0);
    EXPECT_GE(e.Incl, 0.2346);
    EXPECT_LE(e.Incl, 172.5277);
    const double period = Column(line, 13, 6);
    EXPECT_GE(period, 3.24);
    EXPECT_LE(period, 366.57);
    // The unread columns still tell the truth: a = q / (1 - e), period a^1.5.
    const double a = Column(line, 21, 9);
    EXPECT_NEAR(a, e.q / (1 - e.Ecc), 2e-5 * a);
    EXPECT_NEAR(period, std::pow(a, 1.5), 0.01);
    EXPECT_GE(e.PeriJD, JulianDate(1986, 1, 1, 0, 0, 0));
    EXPECT_LT(e.PeriJD, JulianDate(2093, 1, 1, 0, 0, 0));
  }
}

TEST(StoredCatalogue, EveryLineKeepsTheFixedWidthFormat) {
  for (int index = 0; index < kCometCount; ++index) {
    const std::string_view line = kCometCatalogue[index];
    SCOPED_TRACE(line);
    ASSERT_GE(line.size(), 107u);
    ASSERT_LE(line.size(), 135u);
    for (char c : line) EXPECT_TRUE(c >= ' ' && c <= '~');
    EXPECT_EQ(line.substr(5, 7), "...... ");
    for (int column : {19, 20, 30, 40, 41, 50, 51, 60, 61, 70, 71, 80, 94, 100}) {
      EXPECT_EQ(line[column - 1], ' ') << "column " << column;
    }
    for (int column : {16, 23, 33, 43, 55, 65, 75, 89}) {
      EXPECT_EQ(line[column - 1], '.') << "column " << column;
    }
    for (int column = 81; column <= 86; ++column) {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line[column - 1])));
    }
    const std::string name(line.substr(100));
    for (char c : name)
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                  std::string_view(" '()-/").find(c) != std::string_view::npos);
    std::string key = NamePart(name).substr(0, 5);
    key.resize(5, ' ');
    EXPECT_EQ(line.substr(0, 5), key);
    EXPECT_EQ(line.substr(94, 5), key);
  }
}

TEST(StoredCatalogue, HoldsTheNineTellingRowsIntact) {
  for (std::string_view row : kTellingRows) {
    int found = 0;
    for (std::string_view line : kCometCatalogue) found += line == row ? 1 : 0;
    EXPECT_EQ(found, 1) << row;
  }
}

TEST(StoredCatalogue, HoldsOneLinePerCometAndNoFragments) {
  std::set<std::string> names;
  for (std::string_view line : kCometCatalogue) {
    const std::string name(line.substr(100));
    EXPECT_TRUE(names.insert(name).second) << name;
    // "73P-B/..." or "P/2013 R3-A (...)": the fragment suffix sits in the designation.
    const bool numbered = std::isdigit(static_cast<unsigned char>(name[0]));
    const std::string designation = name.substr(0, numbered ? name.find('/') : name.find(" ("));
    EXPECT_EQ(designation.find('-'), std::string::npos) << name;
  }
}

TEST(StoredCatalogue, HoldsTheMeteorStreamParents) {
  for (std::string_view parent :
       {"1P/Halley", "2P/Encke", "7P/Pons-Winnecke", "8P/Tuttle", "21P/Giacobini-Zinner",
        "26P/Grigg-Skjellerup", "55P/Tempel-Tuttle", "109P/Swift-Tuttle"}) {
    bool found = false;
    for (std::string_view line : kCometCatalogue) found = found || line.substr(100) == parent;
    EXPECT_TRUE(found) << parent;
  }
}

TEST(StoredCatalogue, IsOrderedByNameThenNumberThenYear) {
  for (int index = 1; index < kCometCount; ++index) {
    const std::string before(kCometCatalogue[index - 1].substr(100));
    const std::string after(kCometCatalogue[index].substr(100));
    SCOPED_TRACE(before + " / " + after);
    const std::string nameBefore = Lower(NamePart(before));
    const std::string nameAfter = Lower(NamePart(after));
    ASSERT_LE(nameBefore, nameAfter);
    if (nameBefore != nameAfter) continue;
    const bool numberedBefore = std::isdigit(static_cast<unsigned char>(before[0]));
    const bool numberedAfter = std::isdigit(static_cast<unsigned char>(after[0]));
    ASSERT_TRUE(numberedBefore || !numberedAfter);
    if (numberedBefore && numberedAfter) {
      EXPECT_LT(std::stoi(before), std::stoi(after));
    } else if (!numberedBefore && !numberedAfter) {
      EXPECT_LE(before.substr(2, 4), after.substr(2, 4));  // year of "P/2017 S5"
    }
  }
}

TEST(StoredCatalogue, KeepsTheStartUpSelectionAndTheNoParticleIndex) {
  EXPECT_EQ(kCometCatalogue[62].substr(100), "P/2016 A2 (Christensen)");
  EXPECT_EQ(kCometCatalogue[1].substr(100), "50P/Arend");
}

}  // namespace
}  // namespace stelvo
