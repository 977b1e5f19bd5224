#include "commands.h"

#include "bvctl.h"

#include "ui/language_source.h"
#include "ui/uiLanguage.h"
#include "util/utf8_path.h"

#include <memory>

namespace bv::cli {

namespace {

int langDump(const std::string& file)
{
    LanguageFile contents;
    try {
        contents = ReadLanguageFile(util::PathFromUtf8(file));
    } catch (const LanguageFileError& e) {
        throw BadInput(e.what());
    }
    nlohmann::ordered_json languages = nlohmann::ordered_json::array();
    for (const auto& language : contents.Languages)
        languages.push_back({ { "id", language.ShortID }, { "lines", language.Lines } });
    printJson({ { "sources", contents.Sources }, { "languages", languages } });
    return kOk;
}

int langBuild(const std::string& folder, const std::string& output)
{
    LanguageFile contents;
    try {
        contents = BuildLanguageFile(ReadLanguageSources(util::PathFromUtf8(folder)));
        WriteLanguageFile(util::PathFromUtf8(output), contents);
    } catch (const LanguageSourceError& e) {
        throw BadInput(e.what());
    } catch (const LanguageFileError& e) {
        throw BadInput(e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        throw BadInput("\"" + output + "\" cannot be written: " + e.code().message());
    }
    nlohmann::ordered_json languages = nlohmann::ordered_json::array();
    for (const auto& language : contents.Languages)
        languages.push_back({ { "id", language.ShortID }, { "lines", language.Lines.size() } });
    printJson({ { "file", output }, { "sources", contents.Sources.size() }, { "languages", languages } });
    return kOk;
}

} // namespace

void addLanguageCommands(CLI::App& app, Action& action, const GlobalOptions&)
{
    auto* lang = app.add_subcommand("lang", "Build and inspect the language file (ui.local)");
    lang->require_subcommand(1);

    struct Options {
        std::string file;
        std::string folder;
        std::string output;
    };
    auto opts = std::make_shared<Options>();

    auto* dump = lang->add_subcommand("dump", "Print a language file's source texts and tables as JSON");
    dump->add_option("FILE", opts->file, "Language file")->required();
    dump->callback([opts, &action] { action = [opts] { return langDump(opts->file); }; });

    auto* build = lang->add_subcommand("build", "Build a language file from the .lang sources of a folder");
    build->add_option("DIR", opts->folder, "Folder of .lang files")->required();
    build->add_option("-o,--output", opts->output, "Language file to write")->required();
    build->callback([opts, &action] { action = [opts] { return langBuild(opts->folder, opts->output); }; });
}

} // namespace bv::cli
