#pragma once
// Byte string with value-style operators, search and editing, conversions and
// whole-file loading and saving. The bytes may hold zeros; operations that read
// the string as a text stop at the first one.
// Thread rules: `tempstr`, `nirvana`, the counters and the base's scratch
// results are shared by all strings, so strings are used by one thread at a
// time. Results of `+`, `*` and `-` live in `tempstr` until the next such call.
#include <vector>

#include "dsp/kvt/CData.h"

namespace KVT {

// The pieces `Split` appends: zero-terminated buffers the list owns.
class CStringList {
public:
    CStringList() = default;
    ~CStringList() { Clear(); }
    CStringList(const CStringList&) = delete;
    CStringList& operator=(const CStringList&) = delete;

    void Clear();
    void Add(char* piece); // takes over a buffer from CAlloc
    int Count() const { return static_cast<int>(pieces.size()); }
    const char* operator[](int i) const;

private:
    std::vector<char*> pieces;
};

class CString : public CData {
public:
    CString();
    explicit CString(const char* text);
    CString(const CString& other);
    ~CString() override;

    int ClassCount() override;
    const char* String() override;
    const char* XML(int indent) override;

    const char* Data() const;
    const char* c_str() const { return Data(); }

    int operator=(const CString& other);
    int operator=(char* text);
    int operator=(const char* text); // returns the new length
    int operator=(int value);
    int operator=(double value);

    char& operator[](int i);

    bool operator==(const char* text) const;
    bool operator==(const CString& other) const;
    bool operator!=(const CString& other) const;
    bool operator!=(const char* text) const;
    bool operator<(const CString& other) const;
    bool operator>(const CString& other) const;
    bool operator<=(const CString& other) const;
    bool operator>=(const CString& other) const;

    int operator+=(const CString& other);
    int operator+=(const char* text);
    int operator+=(char c);
    int operator+=(int value);
    int operator+=(double value);
    int operator-=(const char* text);
    int operator-=(int n);

    CString& operator+(const CString& other);
    CString& operator+(const char* text);
    CString& operator+(int value);
    CString& operator+(double value);
    CString& operator*(int n);
    CString& operator-(int n);
    CString& operator-(const char* text);

    int operator>>(int n);            // prints the text n times
    int operator<<(const char* path); // loads a whole file; returns the new length
    int operator>>(const char* path); // saves to a file, replacing it only on success

    int At(int i) const;
    int First() const { return At(0); }
    int Last() const { return At(length - 1); }
    int Find(const char* text, int start = 0) const;
    bool Replace(const char* find, const char* replace, int start = 0, bool all = true);
    void Insert(int pos, const char* text);
    const char* SubStr(int start, int count);
    void Trim();
    void TrimLeft();
    void TrimRight();
    int Split(const char* separator, CStringList* list, int max = 0, int start = 0);
    void Uppercase();
    void Lowercase();
    void Revertcase();
    int Integer() const;
    int HexToInt() const;
    float Float() const;
    double Double() const;
    bool ToBool() const { return hasBytes(); }
    const int32_t* Unicode();
    void Decode() {}
    void Encode();
    bool IsASCII() const;
    bool IsKeyword() const;

    static inline int count = -1;
    // Holds the result of every operator that builds a new string.
    static CString& tempstr();
    // Receives writes through an out-of-range operator[].
    static inline char nirvana = 0;

private:
    void init();
    void reassign(int n);
    // Takes over buffer (CAlloc'd, Padding(n) bytes) as the content.
    void adopt(char* buffer, int n);
    // Replaces the content by a followed by b (either may alias this string).
    bool assignJoined(const char* a, int64_t aLength, const char* b, int64_t bLength);
    int append(const char* bytes, int64_t n);
    CString& build(const char* a, int64_t aLength, const char* b, int64_t bLength);
};

} // namespace KVT
