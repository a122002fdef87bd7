#include "vkdisk/options.h"

namespace vk::cli {

ParsedArgs ParseArgs(const std::vector<std::string>& args, const KnownOptions& known) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || known.words.count(arg)) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        const std::string::size_type eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (known.withValue.count(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    parsed.error = "option " + name + " needs a value";
                    return parsed;
                }
                value = args[++i];
            }
            parsed.values[name] = value;
        } else if (known.flags.count(name) && !hasValue) {
            parsed.flags.insert(name);
        } else {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
    }
    return parsed;
}

}  // namespace vk::cli
