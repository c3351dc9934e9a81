// A start-up and, with --save, a shutdown of the window in the working folder, for tests that
// run it as an unprivileged user: ReadIni on "MERIDEL.INI", then (with --save) RefIn changed to
// "99" and the settings file written. Prints what happened and the fields, one per line.
#include <cstdio>
#include <cstring>

#include "model/main_window_model.h"
#include "model/settings_file.h"

int main(int argc, char** argv) {
    using namespace meridel::model;
    using meridel::run::Field;
    MainWindowModel model;
    FileSettingsStore store(kSettingsFileName);
    const auto readError = readIni(model, store);
    std::printf("read: %s\n", readError ? readError->c_str() : "ok");
    const SettingsLines lines = settingsLinesOf(model);
    for (const std::string& line : lines) std::printf("[%s]\n", line.c_str());
    if (argc > 1 && std::strcmp(argv[1], "--save") == 0) {
        model.setFieldText(Field::RefIn, "99");
        try {
            store.write(settingsLinesOf(model));
            std::printf("save: ok\n");
        } catch (const SettingsError& error) {
            std::printf("save: %s\n", error.what());
        }
    }
    return 0;
}
