// The project: the look of the install wizard, the output path and platform, and the ordered
// list of versions. A project file holds exactly this record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/CData.h"
#include "core/model/LogFont.h"

namespace velkan {

class CArchive;

class CDataArray {
public:
    static constexpr uint32_t kSchema = 0x00020003;
    enum Platform { Win31 = 0, Win32 = 1 };
    enum WindowMode { SmallWindow = 0, FullScreen = 1 };

    CDataArray();

    // The current version, or null when m_nCurrent is not a version's index.
    CData* GetCurrent();
    const CData* GetCurrent() const;

    // Empties the project for a new document. The title font stays as it is: only construction
    // gives it its default. The caller adds the first version.
    void Reset();
    void CopyFrom(const CDataArray& other);
    // Writes, or reads over the current contents (the caller resets first; see ReadProject).
    void Serialize(CArchive& ar);

    std::vector<CData> m_versions;
    int32_t m_nCurrent = 0;
    std::string m_strWizardBitmap;
    std::string m_strBackBitmap;
    std::string m_strAuxFile;
    std::string m_strBackTitle;
    int32_t m_nWindowMode = FullScreen;
    LogFont m_lfTitleFont = LogFont::DefaultTitleFont();
    int32_t m_nTitleReserved = 0;
    uint32_t m_crTitleColor = 0x00FFFFFF;
    int32_t m_bExclusive = 1;
    std::string m_strOutputPath;
    int32_t m_nPlatform = Win32;

private:
    void ReadSingleVersionLayout(CArchive& ar, uint32_t schema);
};

}  // namespace velkan
