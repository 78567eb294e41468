// libFuzzer target for the ini layer: any byte sequence must parse, survive untouched
// and take the writes the program makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "watchlist/ini_file.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tickora::IniFile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::Parse(bytes);
    // Nothing written: every byte comes back as it was.
    Require(ini.Serialize() == bytes);

    // Names and a value taken from the input itself reach the odd corners of the matcher.
    const std::string_view head = bytes.substr(0, bytes.size() < 16 ? bytes.size() : 16);
    (void)ini.GetString(head, head, head, 25);
    (void)ini.GetString("MEIGARA_DATA", "KOSUU", "", 25);
    (void)ini.GetInt("MEIGARA_DATA", "CHKOPENURL", 1);
    (void)ini.GetInt(head, "", 0);

    ini.DeleteSection("MEIGARA_DATA");
    Require(ini.GetString("MEIGARA_DATA", "KOSUU", "gone", 25) == "gone");
    ini.WriteString("MEIGARA_DATA", "KOSUU", "3");
    ini.WriteString("LINK_JOUHOU", "BASE_URL", "http://h/q");
    ini.WriteString(head, head, head);

    // What was written reads back, through a full serialise and parse.
    const IniFile again = IniFile::Parse(ini.Serialize());
    Require(again.GetInt("MEIGARA_DATA", "KOSUU", -1) == 3);
    Require(again.GetString("LINK_JOUHOU", "BASE_URL", "", 512) == "http://h/q");
    return 0;
}
