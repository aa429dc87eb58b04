#include "core/libraries/symbol_object.h"

#include "core/base/errors.h"

namespace cindral {

symbol_object::symbol_object(const std::string& fileName) : path_(fileName), file_(fileName) {}

void symbol_object::Load(int32_t number) {
    if (number < 0 || number > kLastSymbol) return;
    // Only whole records count; a torn last record is beyond the end.
    if (number >= file_.RecordCount(SymbolRecord::kSize)) {
        throw CindralError("Error 1037, Loading Symbol = " + std::to_string(number));
    }
    uint8_t bytes[SymbolRecord::kSize];
    file_.ReadRecord(number, sizeof bytes, bytes);
    current_ = DecodeSymbolRecord(bytes);
}

}  // namespace cindral
