// velkanc inspect: everything a setup program carries: its sections, the project settings, each
// version with its settings, lists and file table, and the uninstaller data.
#include <cstdio>
#include <exception>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/install/CCommandLine.h"
#include "core/install/WideText.h"
#include "core/model/JsonValue.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/package/ProductIdentity.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

namespace {

using namespace velkan::package;

std::string Hex(uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

JsonValue Text(const std::string& cp1252)
{
    return JsonValue(Cp1252ToUtf8(cp1252));
}

JsonValue Texts(const std::vector<std::string>& texts)
{
    JsonValue list = JsonValue::Array();
    for (const std::string& t : texts) list.Add(Text(t));
    return list;
}

const char* SectionName(uint16_t id)
{
    switch (id) {
    case kProjectFlags: return "project flags";
    case kWizardBitmap: return "wizard bitmap";
    case kBackBitmap: return "background bitmap";
    case kBackTitle: return "background title";
    case kAuxFile: return "auxiliary file";
    case kDialogBlock: return "dialog templates";
    case kFileTable: return "file table";
    case kTestSection: return "test section";
    case kTitleStyle: return "title style";
    case kVersionBlock: return "version block";
    case kUninstallerProgram: return "uninstaller program";
    case kIniEntries: return "INI entries";
    case kRegEntries: return "registry entries";
    case kFileStrings: return "strings into files";
    case kDataSection: return "data section";
    default: return "unknown";
    }
}

std::string EntryFlagsText(uint8_t flags)
{
    static const char* names[] = {"uninstaller", "version", "translation",
                                  "times",       "delta",   "external"};
    std::string text;
    for (int bit = 0; bit < 6; ++bit) {
        if (!(flags & (1 << bit))) continue;
        if (!text.empty()) text += ',';
        text += names[bit];
    }
    return text.empty() ? "-" : text;
}

JsonValue EntryJson(const CFileEntry& e, size_t index)
{
    JsonValue o = JsonValue::Object();
    o.Set("number", static_cast<uint64_t>(index + 1));
    o.Set("path", Text(e.m_strPath));
    o.Set("entrySize", e.m_nEntrySize);
    o.Set("flags", Hex(e.m_nFlags, 2) + " " + EntryFlagsText(e.m_nFlags));
    JsonValue options = JsonValue::Array();
    for (uint8_t option : e.m_nOptions) options.Add(static_cast<int>(option));
    o.Set("options", options);
    o.Set("iconIndex", static_cast<int>(e.m_nIconIndex));
    o.Set("storedChecksum", Hex(e.m_nChecksum, 8));
    o.Set("size", e.m_nSize);
    o.Set("offset", e.IsExternal() ? JsonValue("external") : JsonValue(e.m_nOffset));
    o.Set("packedSize", e.m_nPackedSize);
    // The table stores them from 0; shown, like every version and entry, from 1.
    o.Set("sourceVersion", static_cast<int>(e.m_nSourceVersion) + 1);
    o.Set("sourceEntry", static_cast<uint64_t>(e.m_nSourceEntry) + 1);
    if (e.HasVersionBlock()) {
        o.Set("fileVersion", Hex(e.m_nFileVersionMS, 8) + " " + Hex(e.m_nFileVersionLS, 8));
        o.Set("productVersion",
              Hex(e.m_nProductVersionMS, 8) + " " + Hex(e.m_nProductVersionLS, 8));
        o.Set("translation", Hex(e.m_nTranslation, 8));
    }
    if (e.HasTimesBlock()) {
        o.Set("creationTime", e.m_nCreationTime);
        o.Set("accessTime", e.m_nAccessTime);
        o.Set("writeTime", e.m_nWriteTime);
    }
    o.Set("menuFolder", Text(e.m_strMenuFolder));
    o.Set("menuName", Text(e.m_strMenuName));
    o.Set("menuArgs", Text(e.m_strMenuArgs));
    o.Set("shortcutName", Text(e.m_strShortcutName));
    o.Set("shortcutArgs", Text(e.m_strShortcutArgs));
    return o;
}

JsonValue VersionJson(CPackageReader& reader, size_t index)
{
    const VersionRecord& v = reader.Contents().versions[index];
    const VersionBlockRecord& b = v.block;
    JsonValue o = JsonValue::Object();
    o.Set("number", static_cast<int>(index + 1));
    o.Set("dirFlags", Hex(b.dirFlags, 4));
    o.Set("title", Text(b.title));
    o.Set("name", Text(b.name));
    o.Set("installDir", Text(b.installDir));
    o.Set("dirRootKey", b.dirRootKey);
    o.Set("dirKey", Text(b.dirKey));
    o.Set("dirSubkey", Text(b.dirSubkey));
    o.Set("dirIniFile", Text(b.dirIniFile));
    o.Set("dirIniSection", Text(b.dirIniSection));
    o.Set("dirIniEntry", Text(b.dirIniEntry));
    JsonValue pages = JsonValue::Array();
    for (const auto& page : b.pages) pages.Add(page ? Texts(*page) : JsonValue());
    o.Set("texts", pages);

    JsonValue ini = JsonValue::Array();
    for (const IniRecord& r : v.iniEntries) {
        JsonValue e = JsonValue::Object();
        e.Set("flags", static_cast<int>(r.flags));
        e.Set("file", Text(r.file));
        e.Set("section", Text(r.section));
        e.Set("entry", Text(r.entry));
        e.Set("value", Text(r.value));
        ini.Add(e);
    }
    o.Set("iniEntries", ini);
    JsonValue reg = JsonValue::Array();
    for (const RegRecord& r : v.regEntries) {
        JsonValue e = JsonValue::Object();
        e.Set("rootKey", r.rootKey);
        e.Set("flags", static_cast<int>(r.flags));
        e.Set("key", Text(r.key));
        e.Set("subkey", Text(r.subkey));
        e.Set("value", Text(r.value));
        reg.Add(e);
    }
    o.Set("regEntries", reg);
    JsonValue strings = JsonValue::Array();
    for (const FileStringRecord& r : v.fileStrings) {
        JsonValue e = JsonValue::Object();
        e.Set("offset", r.offset == kOffsetPattern ? JsonValue("pattern") : JsonValue(r.offset));
        e.Set("reserved1", r.reserved1);
        e.Set("reserved2", static_cast<int>(r.reserved2));
        e.Set("file", Text(r.file));
        e.Set("text", Text(r.text));
        JsonValue pattern = JsonValue::Array();
        for (uint8_t byte : r.pattern) pattern.Add(static_cast<int>(byte));
        e.Set("pattern", pattern);
        strings.Add(e);
    }
    o.Set("fileStrings", strings);

    JsonValue files = JsonValue::Array();
    for (size_t i = 0; i < v.files.size(); ++i) {
        JsonValue entry = EntryJson(v.files[i], i);
        if (v.files[i].m_nFlags & kEntryUninstaller) {
            try {
                UninstallerDataRecord data = reader.ReadUninstallerData(index, i);
                JsonValue u = JsonValue::Object();
                u.Set("texts", Texts(data.texts));
                JsonValue keys = JsonValue::Array();
                for (const auto& key : data.keys)
                    keys.Add(Hex(key.root, 8) + " " + Cp1252ToUtf8(key.path));
                u.Set("registryKeysToRemove", keys);
                u.Set("filesToRemove", Texts(data.files));
                entry.Set("uninstallerData", u);
            } catch (const std::exception& error) {
                entry.Set("uninstallerData", JsonValue(std::string("unreadable: ") + error.what()));
            }
        }
        files.Add(entry);
    }
    o.Set("fileTable", v.hasFileTable ? files : JsonValue());
    return o;
}

std::string Switch(const char* name, bool takesValue)
{
    return std::string("/") + name + (takesValue ? "=" : "");
}

// What a package manager's manifest needs: the product and its versions as the installed-programs
// list will show them, how to find the installed product there, and the switches of an
// unattended run.
JsonValue ManifestJson(const PackageContents& c)
{
    JsonValue o = JsonValue::Object();
    o.Set("product", c.versions.empty() ? JsonValue() : Text(DisplayName(c.versions[0].block)));
    JsonValue versions = JsonValue::Array();
    for (size_t i = 0; i < c.versions.size(); ++i) {
        const VersionRecord& v = c.versions[i];
        JsonValue e = JsonValue::Object();
        e.Set("number", static_cast<int>(i + 1));
        e.Set("name", Text(v.block.name));
        e.Set("title", Text(v.block.title));
        e.Set("displayName", Text(DisplayName(v.block)));
        e.Set("displayVersion", Text(v.block.name));
        bool hasUninstaller = !v.files.empty() && (v.files[0].m_nFlags & kEntryUninstaller);
        e.Set("uninstaller", hasUninstaller ? Text(v.files[0].m_strPath) : JsonValue());
        versions.Add(e);
    }
    o.Set("versions", versions);

    // The entry's own name hashes the uninstaller's path on the machine, which the package does
    // not fix: the entry is the one under the prefix whose product value holds this identity.
    JsonValue programs = JsonValue::Object();
    std::string list = install::ToUtf8(kProgramsListKey);
    JsonValue keys = JsonValue::Array();
    keys.Add("HKEY_LOCAL_MACHINE\\" + list);
    keys.Add("HKEY_CURRENT_USER\\" + list);
    programs.Set("keys", keys);
    programs.Set("entryName", JsonValue());
    programs.Set("entryPrefix", install::ToUtf8(kProgramsEntryPrefix));
    programs.Set("productValue", install::ToUtf8(kProductValueName));
    programs.Set("productId", install::ToUtf8(ProductId(c)));
    o.Set("installedPrograms", programs);

    JsonValue setup = JsonValue::Object();
    setup.Set("silent", Switch(install::kSwitchSilent, false));
    setup.Set("progress", Switch(install::kSwitchProgress, false));
    setup.Set("directory", Switch(install::kSwitchDirectory, true));
    setup.Set("version", Switch(install::kSwitchVersion, true));
    setup.Set("log", Switch(install::kSwitchLog, true));
    setup.Set("allUsers", Switch(install::kSwitchAllUsers, false));
    setup.Set("currentUser", Switch(install::kSwitchCurrentUser, false));
    o.Set("switches", setup);
    JsonValue uninstall = JsonValue::Object();
    uninstall.Set("silent", Switch(install::kSwitchSilent, false));
    uninstall.Set("progress", Switch(install::kSwitchProgress, false));
    uninstall.Set("log", Switch(install::kSwitchLog, true));
    o.Set("uninstallSwitches", uninstall);
    return o;
}

JsonValue ContentsJson(CPackageReader& reader)
{
    const PackageContents& c = reader.Contents();
    JsonValue o = JsonValue::Object();
    o.Set("fileLength", c.fileLength);
    o.Set("stubSize", c.stubSize);
    o.Set("keyMarker", c.hasKeyMarker);
    o.Set("key", Hex(c.key, 8));

    JsonValue sections = JsonValue::Array();
    for (const SectionRecord& s : c.sections) {
        JsonValue e = JsonValue::Object();
        e.Set("id", Hex(s.id, 4));
        e.Set("name", SectionName(s.id));
        e.Set("offset", s.offset);
        e.Set("flags", static_cast<int>(s.flags));
        e.Set("bodySize", s.bodySize);
        if (s.id != kDataSection) e.Set("unpackedSize", s.unpackedSize);
        if (s.version >= 0) e.Set("version", s.version);
        sections.Add(e);
    }
    o.Set("sections", sections);

    JsonValue project = JsonValue::Object();
    if (c.projectFlags) {
        project.Set("flags", Hex(*c.projectFlags, 8));
        project.Set("fullScreen", (*c.projectFlags & kFlagFullScreen) != 0);
        project.Set("exclusive", (*c.projectFlags & kFlagExclusive) != 0);
    }
    if (c.dialogBlockSize) project.Set("dialogBlockSize", *c.dialogBlockSize);
    if (c.backTitle) project.Set("backTitle", Text(*c.backTitle));
    if (c.titleStyle) {
        project.Set("titleReserved", c.titleStyle->reserved);
        project.Set("titleColor", Hex(c.titleStyle->color, 8));
        const LogFont& f = c.titleStyle->font;
        project.Set("titleFont", Cp1252ToUtf8(f.FaceName()) + " height " +
                                     std::to_string(f.lfHeight) + " weight " +
                                     std::to_string(f.lfWeight) + (f.lfItalic ? " italic" : ""));
    }
    if (c.wizardBitmap)
        project.Set("wizardBitmapSize", static_cast<uint64_t>(c.wizardBitmap->size()));
    if (c.backBitmap) project.Set("backBitmapSize", static_cast<uint64_t>(c.backBitmap->size()));
    if (c.auxFileSize) project.Set("auxFileSize", static_cast<uint64_t>(*c.auxFileSize));
    if (c.uninstallerProgram) {
        project.Set("uninstallerProgramSize", static_cast<uint64_t>(c.uninstallerProgram->size()));
    }
    if (c.testSection) {
        project.Set("testPageCode", static_cast<int>(c.testSection->pageCode));
        project.Set("testCurrentVersion", static_cast<int>(c.testSection->currentVersion));
    }
    o.Set("project", project);

    JsonValue versions = JsonValue::Array();
    for (size_t v = 0; v < c.versions.size(); ++v) versions.Add(VersionJson(reader, v));
    o.Set("versions", versions);

    JsonValue data = JsonValue::Object();
    data.Set("length", c.dataLength);
    JsonValue chunks = JsonValue::Array();
    try {
        reader.LoadDataChunks();
    } catch (const std::exception& error) {
        data.Set("error", error.what());
    }
    for (const DataChunkRecord& chunk : c.dataChunks) {
        JsonValue e = JsonValue::Object();
        e.Set("file", chunk.fileIndex);
        e.Set("offset", chunk.offset);
        e.Set("length", chunk.length);
        chunks.Add(e);
    }
    data.Set("chunks", chunks);
    o.Set("data", data);
    o.Set("manifest", ManifestJson(c));
    return o;
}

const CommandOptions kOptions{{}, {"--json"}};

int RunInspect(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(1, 1);
    const std::string& path = p.Positional()[0];
    try {
        auto reader = CPackageReader::OpenFile(path);
        reader->Read();
        JsonValue contents = ContentsJson(*reader);
        std::string out = p.Has("--json") ? contents.ToJson() : contents.ToText();
        std::fwrite(out.data(), 1, out.size(), stdout);
    } catch (const CPackageException& e) {
        throw CommandError{e.what()};
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "inspect",
    "show the sections, settings and file tables of a setup program",
    "Usage: velkanc inspect SETUP [--json]\n"
    "\n"
    "Reads a setup program written by Velkan and prints what it carries: the stub size and the\n"
    "package key, every section (id, offset, flags, sizes), the project settings, each version\n"
    "with its settings, wizard texts, INI, registry and file-string lists and every file table\n"
    "entry with its fields and flags, the uninstaller data, and the data stream's chunks across\n"
    "the continuation files (SETUP.D01, ...). Text is converted from Windows-1252 to UTF-8.\n"
    "\n"
    "Last comes \"manifest\", what a package manager needs: the product name, each version's\n"
    "number, name and title, how the installed product is found in the installed-programs\n"
    "list (the entry under the prefix whose product value holds the product identity), and\n"
    "the switches of the setup program and the uninstaller.\n"
    "\n"
    "  --json   print JSON instead of indented text\n",
    RunInspect,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
