#include "core/wizard/TextLanguage.h"

#include <array>
#include <cstring>

#include "core/platform/CodePage.h"

namespace velkan {

namespace {

// Per language, in RuntimeLanguage order: short words that installer texts use often and the
// other languages do not (or rarely) use, lower case, UTF-8, separated by spaces. The close pairs
// are told apart by the words only one of them has: Danish "af efter klik" against Norwegian
// "av etter klikk", Spanish "el los usted" against Portuguese "o os você", Swedish "och att"
// against both.
constexpr const char* kMarkers[kRuntimeLanguageCount] = {
    "the to of and you your this is click will please files directory install be",
    "af og er til din dit ikke hvis klik denne efter eller blevet vil skal mappe filer fjernet",
    "de het een van en uw niet klik op om voor deze wordt bestanden map te",
    "on ja ei tai tämä tämän kun valitse tiedostot kansio ohjelma asennus jatka että",
    "le la les des du et est vous votre pas cliquez sur pour une fichiers répertoire",
    "der die das und ist sie ihre nicht klicken auf zu von mit wird dateien verzeichnis werden",
    "il di che per non fare clic su del della dei questo stato sono cartella è",
    "av og er til din ditt ikke hvis klikk denne etter eller vil må mappe filer programmet å",
    "o os do da que seu sua não clique em para arquivos pasta você é",
    "el los las del que su no haga clic en para archivos carpeta usted está se",
    "och att av är till på din inte om klicka för filer mappen eller det här har",
};

bool IsLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0 || c == 0x8A ||
           c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

// Whether word (UTF-8) is one of the space-separated words of list.
bool InList(const std::string& word, const char* list)
{
    for (const char* at = list; *at;) {
        const char* end = std::strchr(at, ' ');
        size_t length = end ? static_cast<size_t>(end - at) : std::strlen(at);
        if (length == word.size() && std::memcmp(at, word.data(), length) == 0) return true;
        if (!end) break;
        at = end + 1;
    }
    return false;
}

}  // namespace

RuntimeLanguage DetectTextLanguage(const std::vector<std::string>& texts)
{
    std::array<int, kRuntimeLanguageCount> score{};
    for (const std::string& text : texts) {
        for (size_t i = 0; i < text.size();) {
            if (!IsLetter(static_cast<unsigned char>(text[i]))) {
                ++i;
                continue;
            }
            size_t start = i;
            while (i < text.size() && IsLetter(static_cast<unsigned char>(text[i]))) ++i;
            std::string word = Cp1252ToUtf8(ToLower1252(text.substr(start, i - start)));
            for (size_t l = 0; l < kRuntimeLanguageCount; ++l) {
                if (InList(word, kMarkers[l])) ++score[l];
            }
        }
    }
    // The first best: English wins a tie, and texts without any marker are English.
    size_t best = 0;
    for (size_t l = 1; l < kRuntimeLanguageCount; ++l) {
        if (score[l] > score[best]) best = l;
    }
    return static_cast<RuntimeLanguage>(best);
}

}  // namespace velkan
