#pragma once
// Reading a comet line of the built-in catalogue into a BahnElement: the strict,
// locale-independent number conversions and the fixed-column parse. Called by the
// particle set-up once per particle, always on a freshly taken line.

#include <span>
#include <string>
#include <string_view>

#include "core/run_error.h"
#include "initial/bahn_element.h"

namespace stelvo {

// Float of a fixed-width field: leading blanks, an optional sign, digits with an
// optional decimal point, an optional exponent (E or e, optional sign, digits),
// and nothing after it, not even a blank. Correctly rounded; the user's locale
// plays no part. An empty or all-blank field, or a value beyond the range of a
// double, fails and leaves `value` unchanged.
bool StrictFloat(std::string_view field, double& value);

// Integer of a fixed-width field: leading blanks, an optional sign and decimal
// digits up to the end of the field ("02" is 2). Anything after the digits, an
// empty or all-blank field, or a value beyond int fails and leaves `value` unchanged.
bool StrictInt(std::string_view field, int& value);

// A catalogue line that cannot be used; the run does not start and what() is
// shown like any other run error.
class CatalogueError : public RunError {
 public:
  using RunError::RunError;
};

// A numeric field of a comet line that does not convert. what() reads
// "field 'q' (columns 30-39) does not convert".
class CometFieldError : public CatalogueError {
 public:
  using CatalogueError::CatalogueError;
};

// Fills ShortName, FullName, q, Ecc, ArgPeri, Node, Incl (angles in degrees) and
// PeriJD from one fixed-width line. Columns 6-29, 80 and 94-100 are never read; a
// line that ends before column 101 gives an empty FullName. Throws CometFieldError
// for the first of the eight numeric fields that does not convert.
void ParseCometLine(std::string_view line, BahnElement& elements);

// ParseCometLine on catalogue[index]. Throws CatalogueError naming the index and
// the field ("Comet catalogue line 62: field 'q' (columns 30-39) does not
// convert"), or naming the index when it lies outside the catalogue.
void ParseCatalogueEntry(std::span<const std::string_view> catalogue, int index,
                         BahnElement& elements);

// The same on the built-in catalogue kCometCatalogue.
void ParseCatalogueEntry(int index, BahnElement& elements);

// The name a comet is shown by ("55P/Tempel-Tuttle"): the full-name columns of its
// built-in catalogue line; empty for an index outside the catalogue.
std::string_view CometDisplayName(int index);

}  // namespace stelvo
