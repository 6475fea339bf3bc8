#include "core/launch/map_list_file.h"

#include "core/app/varno_error.h"
#include "core/launch/map_rotation.h"
#include "core/launch/script_values.h"
#include "core/settings/schema.h"

namespace varno {

namespace {

constexpr std::string_view kPlainMapNameMessage =
    "The map name \"%s\" in the rotation list must not contain line breaks.";

void appendLine(std::string& text, std::string_view line)
{
    text += line;
    text += kScriptLineEnd;
}

std::string buildScriptForm(const std::vector<std::string>& rotation)
{
    for (const auto& mapName : rotation)
        checkRotationMapName(mapName);
    std::string text;
    appendLine(text, kMapListHeaderLine1);
    appendLine(text, std::string(kMapListHeaderLine2Prefix) + std::string(kWebSite));
    for (std::size_t i = 0; i < rotation.size(); ++i)
        appendLine(text, rotationLine(i, rotation[i]));
    appendLine(text, kRotationStartLine);
    return text;
}

std::string buildPlainForm(const std::vector<std::string>& rotation)
{
    for (const auto& mapName : rotation) {
        if (mapName.find_first_of("\r\n") != std::string::npos)
            throw VarnoError(formatMessage(kPlainMapNameMessage, mapName));
    }
    std::string text;
    for (const auto& mapName : rotation)
        appendLine(text, mapName);
    return text;
}

} // namespace

MapListForm mapListFormForFileType(int fileType)
{
    return fileType == 2 ? MapListForm::Plain : MapListForm::Script;
}

std::string buildMapListFile(const std::vector<std::string>& rotation, MapListForm form)
{
    return form == MapListForm::Plain ? buildPlainForm(rotation) : buildScriptForm(rotation);
}

} // namespace varno
