#pragma once
// The manual's text as a list of blocks, in reading order. Texts are plain UTF-8; the
// layout escapes them.
#include <string>
#include <vector>

namespace manual {

enum class Block { title, subtitle, heading, subheading, paragraph, bullet, code, pageBreak };

struct Item {
    Block kind;
    std::string text;
    std::string label; // a bullet's term, set in bold before its text
};

const std::vector<Item>& manualText();

} // namespace manual
