#include "core/format/gdx_commands.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace cindral {
namespace {

struct Encoder {
    ByteWriter& out;
    void operator()(const char*, double v) { out.F64(v); }
    void operator()(const char*, int32_t v) { out.I32(v); }
    void operator()(const char*, int16_t v) { out.I16(v); }
    void operator()(const char*, uint8_t v) { out.U8(v); }
    void Text(const char*, const std::string& s, size_t capacity) { out.ShortString(s, capacity); }
};

struct Decoder {
    ByteReader& in;
    void operator()(const char*, double& v) { v = in.F64(); }
    void operator()(const char*, int32_t& v) { v = in.I32(); }
    void operator()(const char*, int16_t& v) { v = in.I16(); }
    void operator()(const char*, uint8_t& v) { v = in.U8(); }
    void Text(const char*, std::string& s, size_t capacity) { s = in.ShortString(capacity); }
};

template <class T>
constexpr bool kIsCommand = !std::is_same_v<T, UnknownRecord>;

template <class T>
void AddRow(std::vector<CommandInfo>& table) {
    if constexpr (kIsCommand<T>) table.push_back({T::kCode, T::kSize, T::kOperation, T::kFollower});
}

template <class... Ts>
std::vector<CommandInfo> BuildTable(const std::variant<Ts...>*) {
    std::vector<CommandInfo> table;
    (AddRow<Ts>(table), ...);
    std::sort(table.begin(), table.end(),
              [](const CommandInfo& a, const CommandInfo& b) { return a.code < b.code; });
    return table;
}

using DecodeFunction = void (*)(ByteReader&, CommandRecord&);

// Decodes straight into the record already in `out` when it holds the same kind, so a
// reader walking a log reuses one record's storage from command to command.
template <class T>
void DecodeInto(ByteReader& in, CommandRecord& out) {
    T* record = std::get_if<T>(&out);
    if (record == nullptr) record = &out.emplace<T>();
    Decoder decoder{in};
    record->Fields(decoder);
}

template <class T>
void AddDecoder(std::vector<DecodeFunction>& by_code) {
    if constexpr (kIsCommand<T>) by_code[size_t(T::kCode)] = &DecodeInto<T>;
}

template <class... Ts>
std::vector<DecodeFunction> BuildDecoders(const std::variant<Ts...>*) {
    std::vector<DecodeFunction> by_code(size_t(CommandTable().back().code) + 1, nullptr);
    (AddDecoder<Ts>(by_code), ...);
    return by_code;
}

}  // namespace

const std::vector<CommandInfo>& CommandTable() {
    static const std::vector<CommandInfo> table =
        BuildTable(static_cast<const CommandRecord*>(nullptr));
    return table;
}

const CommandInfo* FindCommand(int16_t code) {
    // Every record of a log is looked up: a direct table over the codes in use.
    static const std::vector<const CommandInfo*> by_code = [] {
        const auto& table = CommandTable();
        std::vector<const CommandInfo*> rows(size_t(table.back().code) + 1, nullptr);
        for (const CommandInfo& row : table) {
            if (row.code >= 0) rows[size_t(row.code)] = &row;
        }
        return rows;
    }();
    return code >= 0 && size_t(code) < by_code.size() ? by_code[size_t(code)] : nullptr;
}

int16_t CodeOf(const CommandRecord& record) {
    return std::visit(
        [](const auto& r) -> int16_t {
            using T = std::decay_t<decltype(r)>;
            if constexpr (kIsCommand<T>) {
                return T::kCode;
            } else {
                return r.code;
            }
        },
        record);
}

void EncodeCommand(const CommandRecord& record, ByteWriter& out) {
    std::visit(
        [&](const auto& r) {
            using T = std::decay_t<decltype(r)>;
            if constexpr (kIsCommand<T>) {
                T copy = r;  // Fields() walks mutable members; the copy keeps `record` const
                Encoder encoder{out};
                copy.Fields(encoder);
            }
        },
        record);
}

void DecodeCommandInto(int16_t code, ByteReader& in, CommandRecord& out) {
    static const std::vector<DecodeFunction> decoders =
        BuildDecoders(static_cast<const CommandRecord*>(nullptr));
    if (code < 0 || size_t(code) >= decoders.size() || decoders[size_t(code)] == nullptr) {
        throw std::invalid_argument("code " + std::to_string(code) +
                                    " is not in the command table");
    }
    decoders[size_t(code)](in, out);
}

CommandRecord DecodeCommand(int16_t code, ByteReader& in) {
    CommandRecord out;
    DecodeCommandInto(code, in, out);
    return out;
}

}  // namespace cindral
