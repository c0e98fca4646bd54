#pragma once
// The KVT header globals: every source file that includes this builds its own
// set at start-up (internal linkage). Nothing depends on the order in which
// files build theirs.
#include "dsp/kvt/CString.h"
#include "dsp/kvt/PrinTable.h"

namespace KVT {

static const CPrinTable PrinTable;
static CString invalid("null");
static CString empty(" ");
static constexpr std::array<char, 512> hextable = makeHexTable();

} // namespace KVT
