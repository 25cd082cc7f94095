#include "registry/reg_access.h"

#include "registry/regedit4_format.h"

#include <cstring>

namespace quillon {

KeyHandle Reg_access::RootKeyHandle(std::string_view root) {
    for (int i = 0; i < RootCount; ++i) {
        if (root == RootNames[i]) {
            return FirstRootHandle + static_cast<KeyHandle>(i);
        }
    }
    return 0;
}

KeyHandle Reg_access::OpenKey(std::string_view root, std::string_view keyPath,
                              std::uint32_t access, std::int32_t& errorCode) {
    return OpenKey(RootKeyHandle(root), keyPath, access, errorCode);
}

KeyHandle Reg_access::OpenKey(KeyHandle root, std::string_view keyPath, std::uint32_t access,
                              std::int32_t& errorCode) {
    if (root == 0) {
        return 0;
    }
    KeyHandle key = 0;
    errorCode = store_.OpenKey(root, keyPath, access, key);
    return errorCode == RegResult::Success ? key : 0;
}

std::int32_t Reg_access::CloseKey(KeyHandle handle) {
    return store_.CloseKey(handle);
}

std::int32_t Reg_access::EnumValues(KeyHandle handle, std::vector<RegValue>& values) {
    std::int32_t count = 0;
    RegValue value;
    while (store_.EnumValue(handle, static_cast<std::uint32_t>(count), value) ==
           RegResult::Success) {
        values.push_back(std::move(value));
        ++count;
    }
    return count;
}

std::optional<std::string> Reg_access::EnumSubKey(KeyHandle handle, std::uint32_t index) {
    std::string name;
    if (store_.EnumKey(handle, index, name) != RegResult::Success) {
        return std::nullopt;
    }
    return name;
}

RegData Reg_access::QueryValue(KeyHandle handle, std::string_view valueName,
                               std::uint32_t& valueType) {
    std::vector<std::uint8_t> data;
    if (store_.QueryValue(handle, valueName, valueType, data) != RegResult::Success) {
        valueType = 0;
        return std::string();
    }
    if (valueType == RegType::Dword) {
        std::uint32_t number = 0;
        if (!data.empty()) {
            std::memcpy(&number, data.data(), std::min<std::size_t>(data.size(), 4));
        }
        return number; // little-endian, as the registry stores it
    }
    std::string text(data.begin(), data.end());
    if (valueType == RegType::String) {
        if (!text.empty()) {
            text.pop_back();
        }
    } else if (valueType == RegType::MultiString) {
        if (text.size() < 2) {
            return std::string();
        }
        text.resize(text.size() - 2);
        std::string lines;
        for (char c : text) {
            if (c == '\0') {
                lines += "\r\n";
            } else {
                lines += c;
            }
        }
        return lines;
    }
    return text;
}

ExportResult Reg_access::ExportKey(std::string_view keyName, const std::string& fileName,
                                   std::int16_t fileStarted) {
    const auto cut = keyName.find('\\');
    const auto root = keyName.substr(0, cut);
    const auto path = cut == std::string_view::npos ? std::string_view{} : keyName.substr(cut + 1);
    std::int32_t error = RegResult::InvalidHandle; // an unknown root leaves it as is
    const KeyHandle key = OpenKey(root, path, KeyRead, error);
    if (key == 0 || error != RegResult::Success) {
        return {ExportStatus::KeyNotOpened, {}, {}};
    }

    ExportResult result{ExportStatus::Exported, {}, {}};
    OutputFile out;
    const auto mode = fileStarted == 0 ? OutputFile::Mode::Create : OutputFile::Mode::Append;
    if (out.Open(fileName, mode, result.Error)) {
        if (fileStarted == 0) {
            out.Write("REGEDIT4");
            out.Write(LineEnd);
        }
        std::string name(keyName);
        out.Write(" \r\n[");
        out.Write(name);
        out.Write("]\r\n");
        leftOut_.clear();
        ExportValues(key, name, out);
        ExportSubKeys(key, name, out);
        result.LeftOut = std::move(leftOut_);
        if (!out.Close(result.Error)) {
            result.Status = ExportStatus::FileFailed;
        }
    } else {
        result.Status = ExportStatus::FileFailed;
    }
    CloseKey(key);
    return result;
}

namespace {

// A name that a line of the file cannot carry: a reader would take its second part for
// another record.
bool HoldsLineEnd(std::string_view name) {
    return name.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

// Lists the values as EnumValues does, one at a time into the same scratch record, which
// keeps its buffers from one value to the next.
void Reg_access::ExportValues(KeyHandle handle, const std::string& keyName, OutputFile& out) {
    for (std::uint32_t index = 0;
         store_.EnumValue(handle, index, valueScratch_) == RegResult::Success; ++index) {
        if (HoldsLineEnd(valueScratch_.Name)) {
            leftOut_.push_back(keyName + "\\" + valueScratch_.Name);
            continue;
        }
        lineScratch_.clear();
        AppendValueLine(lineScratch_, valueScratch_);
        lineScratch_ += LineEnd;
        out.Write(lineScratch_);
    }
}

// keyName grows by "\name" for each level and is put back before returning, so the walk
// builds no string per key.
void Reg_access::ExportSubKeys(KeyHandle handle, std::string& keyName, OutputFile& out) {
    for (std::uint32_t index = 0;; ++index) {
        const auto name = EnumSubKey(handle, index);
        if (!name) {
            return;
        }
        const auto parentLength = keyName.size();
        keyName += '\\';
        keyName += *name;
        if (HoldsLineEnd(*name)) {
            leftOut_.push_back(keyName);
            keyName.resize(parentLength);
            continue;
        }
        out.Write("\r\n[");
        out.Write(keyName);
        out.Write("]\r\n");
        std::int32_t error = 0;
        const KeyHandle subkey = OpenKey(handle, *name, KeyRead, error);
        if (subkey != 0) {
            ExportValues(subkey, keyName, out);
            ExportSubKeys(subkey, keyName, out);
            CloseKey(subkey);
        }
        keyName.resize(parentLength);
    }
}

std::string AsText(const RegData& data) {
    if (const auto* text = std::get_if<std::string>(&data)) {
        return *text;
    }
    return std::to_string(std::get<std::uint32_t>(data));
}

} // namespace quillon
