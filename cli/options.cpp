#include "options.h"

#include <cctype>

bool IsOption(const std::string& word) {
    return word.size() >= 2 && word[0] == '-' && !std::isdigit(static_cast<unsigned char>(word[1])) && word[1] != '.';
}

bool IsHelpOption(const std::string& word) { return word == "-h" || word == "--help"; }

std::string OptionName(const std::string& word) {
    return word.rfind("--", 0) == 0 ? word.substr(0, word.find('=')) : word;
}

bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string& value) {
    const std::string& word = args[i];
    if (const std::size_t equals = word.find('='); word.rfind("--", 0) == 0 && equals != std::string::npos) {
        value = word.substr(equals + 1);
        return true;
    }
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}
