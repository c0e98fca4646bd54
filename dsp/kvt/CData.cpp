#include "dsp/kvt/CData.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "dsp/kvt/Globals.h"

namespace KVT {

void* CAlloc(int64_t count, int64_t size) {
    if (count <= 0 || size <= 0 || count > INT32_MAX / size) return nullptr;
    return std::calloc(static_cast<size_t>(count), static_cast<size_t>(size));
}

int64_t Padding(int64_t n) {
    if (n < 1) return 0;
    return (n + 1 + 3) / 4 * 4;
}

int StrLen(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

// Writable so that `data` can point at it, but never written: every write goes
// through a length check first.
char CData::nullText[8] = "(null*)";

CData::CData() : name("CData"), data(nullText), length(0) { count++; }

CData::~CData() {
    Clear();
    count--;
    // With the counter starting at -1 this happens while one object is still
    // alive; a later text form simply allocates a new scratch result.
    if (count <= 0) {
        std::free(temp);
        std::free(wtemp);
        temp = nullptr;
        wtemp = nullptr;
    }
}

const char* CData::ClassName() { return name; }
int CData::ClassCount() { return count; }
int CData::Length() { return length; }
bool CData::Empty() { return length == 0; }
int CData::DataSize() { return static_cast<int>(Padding(length)); }
int CData::ObjectSize() { return 32; }
const char* CData::String() { return Hex5(); }

void CData::Clear() {
    if (data != nullText) std::free(data);
    data = nullText;
    length = 0;
}

char* CData::takeScratch(char* buffer) {
    std::free(temp);
    temp = buffer;
    return buffer;
}

const char* CData::hexForm(int perByte, const char* prefix, bool separated, const char* whenEmpty) {
    if (length <= 0) return whenEmpty;
    auto* out = static_cast<char*>(CAlloc(Padding(int64_t{perByte} * length), 1));
    takeScratch(out);
    if (!out) return outOfMemory;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const size_t prefixLength = std::strlen(prefix);
    char* p = out;
    if (!separated) { // one prefix, then all digit pairs
        std::memcpy(p, prefix, prefixLength);
        p += prefixLength;
    }
    for (int i = 0; i < length; i++) {
        if (separated) {
            std::memcpy(p, prefix, prefixLength);
            p += prefixLength;
        }
        *p++ = hextable[2 * bytes[i]];
        *p++ = hextable[2 * bytes[i] + 1];
        if (separated) *p++ = ' ';
    }
    if (separated) p[-1] = '\0'; // the last group's space becomes the terminator
    return out;
}

const char* CData::Hex2() { return hexForm(2, "", false, "00"); }
const char* CData::ColorRGB() { return hexForm(2, "#", false, "#000000"); }
const char* CData::Hex3() { return hexForm(3, "", true, "00"); }
const char* CData::Hex4() { return hexForm(4, "#", true, "#00"); }
const char* CData::Hex5() { return hexForm(5, "0x", true, "0x00"); }

const char* CData::xmlElement(int indent, std::string_view open, std::string_view body, std::string_view close) {
    if (indent < 0) indent = 0;
    const auto textLength = static_cast<int64_t>(open.size() + body.size() + close.size());
    auto* out = static_cast<char*>(CAlloc(Padding(3 * int64_t{indent} + textLength + 1), 1));
    if (!out) return undefinedXML;
    char* p = out;
    auto tabs = [&] { p = static_cast<char*>(std::memset(p, '\t', indent)) + indent; };
    auto put = [&](std::string_view s) { p = static_cast<char*>(std::memcpy(p, s.data(), s.size())) + s.size(); };
    tabs();
    put(open);
    tabs();
    put(body);
    put("\n");
    tabs();
    put(close);
    return takeScratch(out);
}

const char* CData::XML(int indent) {
    if (length <= 0) return undefinedXML;
    const char* text = String();
    return xmlElement(indent, "<CData encoding='HEX5'>\n\t", {text, static_cast<size_t>(StrLen(text))}, "</CData>\n");
}

} // namespace KVT
