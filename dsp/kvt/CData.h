#pragma once
// Byte block with a class name, a live-object counter and text forms of its
// bytes, plus the memory helpers every KVT class shares.
// Thread rules: the counters and the scratch results are class-wide and
// unguarded; all KVT objects belong to one thread at a time.
#include <cstdint>
#include <string_view>

namespace KVT {

// Zero-filled block of count x size bytes; none when either is 0 or below, or
// when the total would pass INT32_MAX (so an overflowing size fails like an
// out-of-memory).
void* CAlloc(int64_t count, int64_t size);
// 0 for n < 1, else the smallest multiple of 4 that is at least n + 1.
int64_t Padding(int64_t n);
// Bytes before the first zero; 0 for none.
int StrLen(const char* text);

class CData {
public:
    CData();
    virtual ~CData();
    CData(const CData&) = delete;
    CData& operator=(const CData&) = delete;

    virtual const char* ClassName();
    virtual int ClassCount();
    virtual int Length();
    virtual bool Empty();
    virtual int DataSize();
    virtual int ObjectSize();
    virtual const char* String();
    // Hexadecimal forms; each result lives in the shared scratch buffer until
    // the next text form of any KVT object.
    virtual const char* Hex2();
    virtual const char* ColorRGB();
    virtual const char* Hex3();
    virtual const char* Hex4();
    virtual const char* Hex5();
    virtual const char* XML(int indent);

    void Clear();

    // Live objects minus one: it starts at -1.
    static inline int count = -1;
    // Scratch text results shared by CData and CString.
    static inline char* temp = nullptr;
    static inline int32_t* wtemp = nullptr;

    static constexpr const char* undefinedXML = "<CData>\n\tundefined</CData>";
    static constexpr const char* outOfMemory = "(out of memory)";

protected:
    bool hasBytes() const { return length > 0 && data != nullText; }
    // Makes buffer the scratch result, releasing the previous one.
    static char* takeScratch(char* buffer);
    // `open`, a tab, `body` and `close`, each line indented by `indent` tabs
    // (none when negative), as the scratch result; undefinedXML when out of memory.
    static const char* xmlElement(int indent, std::string_view open, std::string_view body, std::string_view close);

    static char nullText[8];

    const char* name;
    char* data;
    int32_t length;

private:
    const char* hexForm(int perByte, const char* prefix, bool separated, const char* whenEmpty);
};

} // namespace KVT
