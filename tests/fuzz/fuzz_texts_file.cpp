// Reads arbitrary bytes as a wizard texts file into catalogue-shaped texts. Besides not
// crashing: the shape never changes, and export followed by import gives the same texts back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/stream/CFileException.h"
#include "core/stream/CMemorySource.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardText.h"
#include "core/wizard/WizardTextFile.h"

using namespace velkan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::vector<std::string>> texts(kTextPageCount);
    for (int page = 0; page < kTextPageCount; ++page) {
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            texts[page].push_back(CTextCatalogue::GetDefaultText(page, text));
        }
    }
    CMemorySource source(data, size);
    const auto before = texts;
    try {
        ReadTextsFile(texts, source);
    } catch (const CFileException&) {
        // Refused (a byte-order mark, a 0 byte): nothing may have changed.
        if (texts != before) std::abort();
        return 0;
    }
    for (int page = 0; page < kTextPageCount; ++page) {
        if (texts[page].size() != static_cast<size_t>(CTextCatalogue::TextCount(page)))
            std::abort();
    }

    // Whatever a file held, the texts read from it export and import back exactly: no line is
    // longer than the reader takes at once and none looks like a marker.
    std::string exported = FormatTextsFile(texts);
    auto back = texts;
    CMemorySource exportedSource(exported.data(), exported.size());
    ReadTextsFile(back, exportedSource);
    if (back != texts) std::abort();

    // The texts of a file are what the title macro later expands; use the first one as title.
    for (const auto& page : texts) {
        for (const auto& text : page) (void)ExpandTitle(text, texts[0][0]);
    }
    return 0;
}
