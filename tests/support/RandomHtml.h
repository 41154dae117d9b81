// SPDX-License-Identifier: MIT
#pragma once

#include <random>
#include <string>
#include <vector>

namespace varnow::test {

// Seeded random documents made of fragments of every pattern the procedures look for, with
// their letters in mixed case, near misses (a byte dropped, doubled or changed), stray and
// nested tags, NUL bytes, CR LF, cp1251 letters, banner markers and plain text.
std::string RandomHtml(std::mt19937_64& rng, std::size_t targetSize);

// A size for a random document: mostly small, now and then tens of KB.
std::size_t RandomDocumentSize(std::mt19937_64& rng);

struct MarkerPair {
  std::string first;  // cp1251 bytes
  std::string last;
};
// The banner marker pairs RandomHtml draws fragments from, among them an empty marker, equal
// markers, markers that share text and a Cyrillic one.
const std::vector<MarkerPair>& SampleMarkers();

// Shows a document as a C string literal, for a reproducible failure message.
std::string Quoted(std::string_view bytes);

}  // namespace varnow::test
