// Reads arbitrary bytes as a wizard texts file into catalogue-shaped texts. Besides not
// crashing: the shape never changes, and export followed by import settles after one pass.
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

    // Export and import lose empty lines inside texts (the defaults have some), so the first
    // round trip may change texts; after it, a round trip must change nothing.
    auto roundTrip = [](const std::vector<std::vector<std::string>>& in) {
        std::string exported = FormatTextsFile(in);
        auto out = in;
        CMemorySource exportedSource(exported.data(), exported.size());
        ReadTextsFile(out, exportedSource);
        return out;
    };
    auto once = roundTrip(texts);
    if (roundTrip(once) != once) std::abort();

    // The texts of a file are what the title macro later expands; use the first one as title.
    for (const auto& page : texts) {
        for (const auto& text : page) (void)ExpandTitle(text, texts[0][0]);
    }
    return 0;
}
