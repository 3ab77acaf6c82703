#include "platform/WarmStartRequest.h"

#include <charconv>

namespace {

std::optional<long long> Number(std::string_view word)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string EncodeWarmStartRequest(const WarmStartRequest &request)
{
    std::string bytes;
    const auto add = [&bytes](std::string_view word) {
        bytes.append(word);
        bytes.push_back('\0');
    };
    add(std::to_string(request.descriptor));
    add(request.directory);
    add(std::to_string(request.arguments.size()));
    for (const std::string &argument : request.arguments)
        add(argument);
    for (const std::string &setting : request.environment)
        add(setting);
    return bytes;
}

std::optional<WarmStartRequest> DecodeWarmStartRequest(std::string_view bytes)
{
    if (bytes.empty() || bytes.back() != '\0')
        return std::nullopt;
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\0', start);
        words.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    constexpr std::size_t kHeader = 3;
    if (words.size() < kHeader)
        return std::nullopt;
    const std::optional<long long> descriptor = Number(words[0]);
    const std::optional<long long> count = Number(words[2]);
    if (!descriptor || *descriptor < -1 || *descriptor > 1 << 20 || words[1].empty() || !count || *count < 1
        || *count > static_cast<long long>(words.size() - kHeader))
        return std::nullopt;
    WarmStartRequest request;
    request.descriptor = static_cast<int>(*descriptor);
    request.directory = words[1];
    const auto first = words.begin() + kHeader;
    request.arguments.assign(first, first + *count);
    for (auto word = first + *count; word != words.end(); ++word) {
        if (word->find('=') == std::string_view::npos || word->front() == '=')
            return std::nullopt;
        request.environment.emplace_back(*word);
    }
    return request;
}
