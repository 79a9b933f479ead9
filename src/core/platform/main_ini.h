#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::platform {

// One row of the language table: index, installer code, resource language name,
// language file and the default font set when the language is switched to.
struct Language {
    int index;
    std::string_view registryCode;
    std::string_view resourceName;
    std::string_view file;
    std::string_view fontFace;
    int fontPoints;
};

inline constexpr std::array<Language, 10> kLanguages{{
    {0, "1010", "en", "lan_en.xml", "Arial", 9},
    {1, "2020", "cn_zh", "lan_cn.xml", "Arial", 10},
    {2, "3030", "cn_tw", "lan_sn.xml", "Arial", 12},
    {3, "4040", "jp", "lan_jp.xml", "Arial", 9},
    {4, "1049", "de", "lan_de.xml", "Arial", 9},
    {5, "1031", "ru", "lan_ru.xml", "Arial", 9},
    {6, "1036", "fr", "lan_fr.xml", "Arial", 9},
    {7, "1054", "th", "lan_th.xml", "Browallia New", 17},
    {8, "2070", "pb", "lan_pb.xml", "Arial", 9},
    {9, "3082", "sp", "lan_sp.xml", "Arial", 9},
}};

// The language whose installer code is the given number, or nullptr.
const Language* languageByCode(long code);
// The language of an index 0..9, or nullptr.
const Language* languageByIndex(long index);

// main.ini in the data folder: the program's own settings, all in section SKINIMAGE.
class MainIni {
  public:
    static constexpr std::string_view kSection = "SKINIMAGE";
    static constexpr std::string_view kLanguageKey = "LANGUAGE";
    static constexpr std::string_view kFlagsKey = "FLAGS";
    static constexpr std::string_view kImageKey = "IMAGE";

    explicit MainIni(std::filesystem::path path);

    long language() const;  // default 0
    bool setLanguage(long index);
    long flags() const;  // default 0; 1 shows image() as the background at start
    bool setFlags(long flags);
    std::string image() const;  // default "0"
    bool setImage(std::string_view image);

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace korvane::platform
