#include "localisation/LocFormat.h"

namespace dunmar::loc {

std::string fillFormat(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char spec = format[i + 1];
        if (spec == '%') {
            out += '%';
            ++i;
            continue;
        }
        if ((spec == 'd' || spec == '@') && next != args.end()) {
            const FormatArg& arg = *next;
            if (spec == 'd' && std::holds_alternative<std::int64_t>(arg)) {
                out += std::to_string(std::get<std::int64_t>(arg));
                ++next;
                ++i;
                continue;
            }
            if (spec == '@' && std::holds_alternative<std::string_view>(arg)) {
                out += std::get<std::string_view>(arg);
                ++next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace dunmar::loc
