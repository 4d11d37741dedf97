#include "core/wizard/TextLanguage.h"

#include <cstring>

namespace velkan {

namespace {

// Per language, in RuntimeLanguage order: short words that installer texts use often and the
// other languages do not (or rarely) use, lower case, Windows-1252, each followed by a space.
// The close pairs are told apart by the words only one of them has: Danish "af efter klik"
// against Norwegian "av etter klikk", Spanish "el los usted" against Portuguese "o os voc\xEA",
// Swedish "och att" against both.
constexpr const char* kMarkers[kRuntimeLanguageCount] = {
    "the to of and you your this is click will please files directory install be ",
    "af og er til din dit ikke hvis klik denne efter eller blevet vil skal mappe filer fjernet ",
    "de het een van en uw niet klik op om voor deze wordt bestanden map te ",
    "on ja ei tai t\xE4m\xE4 t\xE4m\xE4n kun valitse tiedostot kansio ohjelma asennus jatka "
    "ett\xE4 ",
    "le la les des du et est vous votre pas cliquez sur pour une fichiers r\xE9pertoire ",
    "der die das und ist sie ihre nicht klicken auf zu von mit wird dateien verzeichnis werden ",
    "il di che per non fare clic su del della dei questo stato sono cartella \xE8 ",
    "av og er til din ditt ikke hvis klikk denne etter eller vil m\xE5 mappe filer programmet "
    "\xE5 ",
    "o os do da que seu sua n\xE3o clique em para arquivos pasta voc\xEA \xE9 ",
    "el los las del que su no haga clic en para archivos carpeta usted est\xE1 se ",
    "och att av \xE4r till p\xE5 din inte om klicka f\xF6r filer mappen eller det h\xE4r har ",
};

bool IsLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0 || c == 0x8A ||
           c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

// Lower case of a Windows-1252 letter (the accented capitals are 0x20 below their small forms).
char Lower(unsigned char c)
{
    bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    return static_cast<char>(upper ? c + 0x20 : c);
}

// Whether the word (length bytes at word, any case) is one of list's words.
bool InList(const char* word, size_t length, const char* list)
{
    for (const char* at = list; *at;) {
        const char* end = std::strchr(at, ' ');
        size_t i = 0;
        while (i < length && at + i < end && Lower(static_cast<unsigned char>(word[i])) == at[i])
            ++i;
        if (i == length && at + i == end) return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

void CLanguageScore::Add(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        size_t start = i;
        while (i < text.size() && IsLetter(static_cast<unsigned char>(text[i]))) ++i;
        if (i == start) {
            ++i;
            continue;
        }
        for (size_t l = 0; l < kRuntimeLanguageCount; ++l) {
            if (InList(text.data() + start, i - start, kMarkers[l])) ++m_score[l];
        }
    }
}

RuntimeLanguage CLanguageScore::Best() const
{
    size_t best = 0;  // the first best: English wins a tie
    for (size_t l = 1; l < kRuntimeLanguageCount; ++l) {
        if (m_score[l] > m_score[best]) best = l;
    }
    return static_cast<RuntimeLanguage>(best);
}

RuntimeLanguage DetectTextLanguage(const std::vector<std::string>& texts)
{
    CLanguageScore score;
    for (const std::string& text : texts) score.Add(text);
    return score.Best();
}

}  // namespace velkan
