// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Pages for the cleaning benchmarks. Each maker returns a page of exactly `size` bytes, the
// same bytes for the same arguments.
namespace varnow::bench {

// A page as people write and export them: a head with Word's meta tags and a style sheet,
// then paragraphs with span, font, bold and italic markup, links that open new windows or
// carry mouse-over handlers, tables, scripts, conditional comments and an advertising block.
std::string RealisticPage(std::size_t size);

// Syntax-highlighted documentation: `spanPairs` span elements spread evenly over the page.
std::string SpanPage(std::size_t size, std::size_t spanPairs);

// A page saved by Word: meta tags, a large style sheet, hidden and revealed conditional
// blocks, empty Office paragraphs, bold and italic start tags with attributes.
std::string WordPage(std::size_t size);

// A page of `unit` repeated up to `size` bytes.
std::string Repeated(std::string_view unit, std::size_t size);

}  // namespace varnow::bench
