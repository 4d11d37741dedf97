#include "gui/HelpTopics.h"

namespace velkan {

namespace {

struct TopicEntry {
    uint16_t id;
    const char* topic;
};

constexpr TopicEntry kTopics[] = {
    {131, "vk/o_assistant.htm"},
    {147, "vk/o_assistant.htm"},
    {154, "vk/o_assistant.htm"},
    {155, "vk/o_assistant.htm"},
    {132, "vk/o_textes.htm"},
    {136, "vk/o_construction.htm"},
    {142, "vk/assistant01.htm"},
    {143, "vk/assistant02.htm"},
    {144, "vk/assistant03.htm"},
    {10000, "vk/assistant04.htm"},
    {167, "vk/assistant05.htm"},
    {145, "vk/assistant06.htm"},
    {146, "vk/assistant07.htm"},
    {150, "vk/assistant08.htm"},
    {10003, "vk/assistant09.htm"},
    {9999, "vk/assistant10.htm"},
    {152, "vk/assistant11.htm"},
    {153, "vk/preferences.htm"},
    {170, "vk/preferences.htm"},
    {171, "vk/preferences.htm"},
    {160, "vk/o_fichiers.htm"},
    {10006, "vk/o_fichiers.htm"},
    {164, "vk/o_optionsfichiers.htm"},
    {168, "vk/o_optionsfichiers.htm"},
    {10001, "vk/o_optionsfichiers.htm"},
    {10002, "vk/o_optionsfichiers.htm"},
    {169, "vk/o_uninstall.htm"},
    {10005, "vk/o_info.htm"},
    {10008, "vk/o_info.htm"},
    {10009, "vk/o_info.htm"},
    {10010, "vk/o_info.htm"},
};

}  // namespace

QString HelpTopicFor(uint32_t data, bool isContextRequest)
{
    if (isContextRequest) {
        auto id = static_cast<uint16_t>(data & 0xFFFF);
        for (const TopicEntry& entry : kTopics) {
            if (entry.id == id) return entry.topic;
        }
    }
    return "index.htm";
}

}  // namespace velkan
