#include "dsp/kvt/CString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "foundation/Console.h"

namespace KVT {

namespace {

// Room for any "%f" of a double (1e308 prints 317 characters).
constexpr int numberTextSize = 512;

struct NumberText {
    char text[numberTextSize];
    NumberText(int v) { std::snprintf(text, sizeof text, "%d", v); }
    NumberText(double v) { std::snprintf(text, sizeof text, "%f", v); }
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// strcmp that reads a missing text as "".
int compare(const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : ""); }

char* allocText(int64_t n) { return static_cast<char*>(CAlloc(Padding(n), 1)); }

} // namespace

void CStringList::Clear() {
    for (char* piece : pieces) std::free(piece);
    pieces.clear();
}

void CStringList::Add(char* piece) { pieces.push_back(piece); }

const char* CStringList::operator[](int i) const { return i >= 0 && i < Count() ? pieces[i] : nullptr; }

CString::CString() { init(); }

CString::CString(const char* text) {
    init();
    *this = text;
}

CString::CString(const CString& other) : CData() {
    init();
    *this = other;
}

CString::~CString() {
    Clear();
    count--;
}

void CString::init() {
    count++;
    name = "CString";
}

CString& CString::tempstr() {
    static CString instance;
    return instance;
}

int CString::ClassCount() { return count; }
const char* CString::String() { return Data(); }
const char* CString::Data() const { return hasBytes() ? data : nullText; }

void CString::reassign(int n) {
    Clear();
    if (n > 0) adopt(allocText(n), n);
}

void CString::adopt(char* buffer, int n) {
    if (!buffer) {
        Clear();
        return;
    }
    Clear();
    data = buffer;
    length = n;
}

bool CString::assignJoined(const char* a, int64_t aLength, const char* b, int64_t bLength) {
    const int64_t n = aLength + bLength;
    char* buffer = n > 0 ? allocText(n) : nullptr;
    if (!buffer) {
        if (n > 0) return false;
        Clear();
        return true;
    }
    // Copied before the old buffer goes, so a and b may point into it.
    if (aLength > 0) std::memcpy(buffer, a, aLength);
    if (bLength > 0) std::memcpy(buffer + aLength, b, bLength);
    adopt(buffer, static_cast<int>(n));
    return true;
}

int CString::operator=(const CString& other) {
    if (&other == this) return 0;
    if (!assignJoined(other.Data(), other.hasBytes() ? other.length : 0, nullptr, 0)) Clear();
    return 0;
}

int CString::operator=(char* text) {
    *this = static_cast<const char*>(text);
    return 0;
}

int CString::operator=(const char* text) {
    if (!assignJoined(text, StrLen(text), nullptr, 0)) Clear();
    return length;
}

int CString::operator=(int value) {
    *this = static_cast<const char*>(NumberText(value).text);
    return 0;
}

int CString::operator=(double value) {
    *this = static_cast<const char*>(NumberText(value).text);
    return 0;
}

char& CString::operator[](int i) {
    if (i >= 0 && i < length && hasBytes()) return data[i];
    nirvana = 0;
    return nirvana;
}

bool CString::operator==(const char* text) const { return compare(Data(), text) == 0; }
bool CString::operator==(const CString& o) const { return compare(Data(), o.Data()) == 0; }
bool CString::operator!=(const CString& o) const { return compare(Data(), o.Data()) != 0; }
bool CString::operator!=(const char* text) const { return compare(Data(), text) != 0; }
bool CString::operator<(const CString& o) const { return compare(Data(), o.Data()) < 0; }
bool CString::operator>(const CString& o) const { return compare(Data(), o.Data()) > 0; }
bool CString::operator<=(const CString& o) const { return compare(Data(), o.Data()) <= 0; }
bool CString::operator>=(const CString& o) const { return compare(Data(), o.Data()) >= 0; }

int CString::append(const char* bytes, int64_t n) {
    if (n > 0) assignJoined(Data(), hasBytes() ? length : 0, bytes, n);
    return 0;
}

int CString::operator+=(const CString& o) { return append(o.Data(), o.hasBytes() ? o.length : 0); }
int CString::operator+=(const char* text) { return append(text, StrLen(text)); }
int CString::operator+=(char c) { return append(&c, 1); }
int CString::operator+=(int v) {
    const NumberText t(v);
    return append(t.text, StrLen(t.text));
}

int CString::operator+=(double v) {
    const NumberText t(v);
    return append(t.text, StrLen(t.text));
}

int CString::operator-=(const char* text) {
    Replace(text, nullptr, 0, true);
    return 0;
}

int CString::operator-=(int n) {
    if (n < 1) return 0;
    if (n < length)
        assignJoined(data, length - n, nullptr, 0);
    else
        Clear();
    return 0;
}

CString& CString::build(const char* a, int64_t aLength, const char* b, int64_t bLength) {
    CString& result = tempstr();
    if (!result.assignJoined(a, aLength, b, bLength)) result.Clear();
    return result;
}

CString& CString::operator+(const CString& o) {
    if (!o.hasBytes()) return *this;
    return build(Data(), hasBytes() ? length : 0, o.data, o.length);
}

CString& CString::operator+(const char* text) {
    if (!text) return *this;
    return build(Data(), hasBytes() ? length : 0, text, StrLen(text));
}

CString& CString::operator+(int v) {
    const NumberText t(v);
    return build(Data(), hasBytes() ? length : 0, t.text, StrLen(t.text));
}

CString& CString::operator+(double v) {
    const NumberText t(v);
    return build(Data(), hasBytes() ? length : 0, t.text, StrLen(t.text));
}

CString& CString::operator*(int n) {
    if (n < 2) return *this;
    const int64_t total = int64_t{n} * (hasBytes() ? length : 0);
    char* buffer = total > 0 ? allocText(total) : nullptr;
    CString& result = tempstr();
    if (!buffer) {
        result.Clear();
        return result;
    }
    for (int i = 0; i < n; i++) std::memcpy(buffer + int64_t{i} * length, data, length);
    result.adopt(buffer, static_cast<int>(total));
    return result;
}

CString& CString::operator-(int n) {
    if (n < 1) return *this;
    if (n < length) return build(data, length - n, nullptr, 0);
    tempstr().Clear();
    return tempstr();
}

CString& CString::operator-(const char* text) {
    if (!text) return *this;
    CString& result = build(Data(), hasBytes() ? length : 0, nullptr, 0);
    result.Replace(text, nullptr, 0, true);
    return result;
}

int CString::operator>>(int n) {
    if (!hasBytes()) return 0;
    for (int i = 0; i < n; i++) Console::write(data); // as printf "%s": up to the first zero byte
    return 0;
}

int CString::At(int i) const {
    if (!hasBytes() || i < 0 || i >= length) return 0;
    return static_cast<int8_t>(data[i]);
}

int CString::Find(const char* text, int start) const {
    if (!hasBytes() || !text) return -1;
    const int s = start < 0 ? 0 : start;
    if (s >= length) return -1;
    const int n = StrLen(text);
    if (n == 0) return -1;
    for (int i = s; i < length - n + 1; i++)
        if (std::memcmp(data + i, text, n) == 0) return i;
    return -1;
}

bool CString::Replace(const char* findText, const char* replaceText, int start, bool all) {
    if (!hasBytes() || !findText) return false;
    if (replaceText && std::strcmp(replaceText, findText) == 0) return false;
    // Copies, since either text may lie in this string's own buffer.
    const std::string find(findText);
    const std::string replace(replaceText ? replaceText : "");
    const int64_t f = static_cast<int64_t>(find.size());
    const int64_t r = static_cast<int64_t>(replace.size());

    // One pass over the matches, each search starting behind the previous
    // match, as replacing one match at a time and searching on behind the
    // inserted text would.
    std::vector<int> matches;
    for (int p = Find(find.c_str(), start); p >= 0; p = Find(find.c_str(), p + static_cast<int>(f))) {
        matches.push_back(p);
        if (!all) break;
    }
    // A replacement that would leave no bytes is refused, and matches are
    // replaced one at a time, so only the step reaching zero is dropped.
    int64_t total = length + static_cast<int64_t>(matches.size()) * (r - f);
    if (total == 0 && !matches.empty()) {
        matches.pop_back();
        total = length + static_cast<int64_t>(matches.size()) * (r - f);
    }
    if (matches.empty()) return false;
    char* buffer = allocText(total);
    if (!buffer) return false;
    char* out = buffer;
    int from = 0;
    for (int p : matches) {
        out = static_cast<char*>(std::memcpy(out, data + from, p - from)) + (p - from);
        out = static_cast<char*>(std::memcpy(out, replace.data(), r)) + r;
        from = p + static_cast<int>(f);
    }
    std::memcpy(out, data + from, length - from);
    adopt(buffer, static_cast<int>(total));
    return true;
}

void CString::Insert(int pos, const char* text) {
    const int n = StrLen(text);
    if (n == 0 || !hasBytes() || pos < 0 || pos >= length) return;
    char* buffer = allocText(int64_t{length} + n);
    if (!buffer) return;
    std::memcpy(buffer, data, pos);
    std::memcpy(buffer + pos, text, n);
    std::memcpy(buffer + pos + n, data + pos, length - pos);
    adopt(buffer, length + n);
}

const char* CString::SubStr(int start, int count) {
    if (!hasBytes() || start < 0 || start >= length) return nullptr;
    if (count > length - start) count = length - start;
    if (count < 1) return nullptr;
    char* buffer = allocText(count);
    takeScratch(buffer);
    if (buffer) std::memcpy(buffer, data + start, count);
    return buffer;
}

void CString::Trim() {
    if (!hasBytes()) return;
    TrimLeft();
    TrimRight();
}

void CString::TrimLeft() {
    if (!hasBytes()) return;
    int lead = 0;
    while (lead < length && isBlank(data[lead])) lead++;
    if (lead > 0 && !assignJoined(data + lead, length - lead, nullptr, 0)) Clear();
}

void CString::TrimRight() {
    if (!hasBytes()) return;
    int keep = length;
    while (keep > 0 && isBlank(data[keep - 1])) keep--;
    if (keep < length && !assignJoined(data, keep, nullptr, 0)) Clear();
}

int CString::Split(const char* separator, CStringList* list, int max, int start) {
    if (!separator || !list || !hasBytes()) return -1;
    if (start == 0) list->Clear();
    if (start < 0) start = 0;
    const int separatorLength = StrLen(separator);
    auto addPiece = [&](int from, int n) {
        if (char* piece = allocText(int64_t{n} + 1)) {
            std::memcpy(piece, data + from, n);
            list->Add(piece);
        }
        return max > 0 && list->Count() >= max;
    };
    while (true) {
        const int p = Find(separator, start);
        if (p < 0) {
            if (length - start > 0) addPiece(start, length - start);
            break;
        }
        const int n = p - start;
        if (n > 0 && addPiece(start, n)) break;
        start = p + separatorLength;
    }
    return list->Count();
}

void CString::Uppercase() {
    for (int i = 0; hasBytes() && i < length; i++)
        if (isLower(data[i])) data[i] = static_cast<char>(data[i] - 'a' + 'A');
}

void CString::Lowercase() {
    for (int i = 0; hasBytes() && i < length; i++)
        if (isUpper(data[i])) data[i] = static_cast<char>(data[i] - 'A' + 'a');
}

void CString::Revertcase() {
    for (int i = 0; hasBytes() && i < length; i++) {
        if (isLower(data[i]))
            data[i] = static_cast<char>(data[i] - 'a' + 'A');
        else if (isUpper(data[i]))
            data[i] = static_cast<char>(data[i] - 'A' + 'a');
    }
}

int CString::Integer() const { return hasBytes() ? static_cast<int>(std::strtol(data, nullptr, 10)) : 0; }

int CString::HexToInt() const { return hasBytes() ? static_cast<int>(std::strtol(data, nullptr, 16)) : 0; }

float CString::Float() const { return hasBytes() ? static_cast<float>(std::atof(data)) : 0.0f; }
double CString::Double() const { return hasBytes() ? std::atof(data) : 0.0; }

const int32_t* CString::Unicode() {
    if (!hasBytes()) return nullptr;
    auto* units = static_cast<int32_t*>(CAlloc(Padding(length), sizeof(int32_t)));
    std::free(wtemp);
    wtemp = units;
    for (int i = 0; units && i < length; i++) units[i] = static_cast<int8_t>(data[i]);
    return units;
}

void CString::Encode() {
    if (hasBytes()) *this = const_cast<char*>(Hex2());
}

bool CString::IsASCII() const {
    for (int i = 0; hasBytes() && i < length && data[i] != 0; i++)
        if (static_cast<unsigned char>(data[i]) & 0x80) return false;
    return true;
}

bool CString::IsKeyword() const {
    if (!hasBytes()) return true;
    if (isDigit(data[0])) return false;
    for (int i = 0; i < length; i++)
        if (!isLower(data[i]) && !isUpper(data[i]) && !isDigit(data[i])) return false;
    return true;
}

const char* CString::XML(int indent) {
    if (!hasBytes()) return undefinedXML;
    return xmlElement(indent, "<CString encoding='UTF8'>\n\t", {data, static_cast<size_t>(length)}, "</CString>\n");
}

} // namespace KVT
