// The host's named-value store for one control instance: what a form keeps of
// the control between runs. Keys match without regard to ASCII case, because
// forms saved by hand or by older hosts hold them in any case
// ("colorbuttonhover"). Values keep the type they were written with; a value
// that came from form text is held as text and converted when it is read, so a
// hand-written "Style = 3" reads as the integer 3.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/drawing_surface.h"

namespace vorela {

using PictureRef = std::shared_ptr<const Picture>;

// A picture as the store keeps it: the object, and the name it came from so
// that a form written back names the same file.
struct StoredPicture {
  PictureRef picture;
  std::string source;
  bool operator==(const StoredPicture&) const = default;
};

using PropertyValue =
    std::variant<bool, std::int32_t, std::string, FontSpec, StoredPicture>;

class PropertyStore {
 public:
  // Reads fall back to the default when the key is missing or its text does
  // not convert to the wanted type.
  bool ReadBool(std::string_view key, bool fallback) const;
  std::int32_t ReadInt(std::string_view key, std::int32_t fallback) const;
  std::string ReadString(std::string_view key, std::string fallback) const;
  FontSpec ReadFont(std::string_view key, FontSpec fallback) const;
  // Pictures named in form text are loaded by the host before the control
  // reads them (see ResolvePictures); a name that did not load reads as none.
  PictureRef ReadPicture(std::string_view key) const;

  // Writes store the value unless it equals the default given; a write
  // without a default always stores. An equal value removes an older entry,
  // as a freshly saved form would not hold it.
  void Write(std::string_view key, PropertyValue value,
             std::optional<PropertyValue> skip_if = std::nullopt);

  bool Contains(std::string_view key) const;
  const PropertyValue* Find(std::string_view key) const;
  // Keys in the order they were first stored, as written by the caller.
  const std::vector<std::string>& KeysInOrder() const { return order_; }
  // Keys in the order of the reads since the store was made (for checks of
  // the control's reading order).
  const std::vector<std::string>& ReadLog() const { return reads_; }

  // Form text: one "key = value" per line; blank lines and lines starting
  // with ';' or '#' are ignored, as are lines without '='. The last of
  // repeated keys wins. Values are kept as text.
  static PropertyStore FromFormText(std::string_view text);
  // Form text of every entry in store order, with the keys as written.
  std::string ToFormText() const;

  // Replaces every picture entry still held as text by the picture the
  // loader returns for it (null for none).
  template <typename Loader>
  void ResolvePictures(std::string_view key, Loader&& load) {
    auto it = values_.find(Fold(key));
    if (it == values_.end()) return;
    if (const auto* text = std::get_if<std::string>(&it->second.value)) {
      StoredPicture stored{load(*text), *text};
      it->second.value = std::move(stored);
    }
  }

 private:
  struct Entry {
    std::string key;
    PropertyValue value;
  };
  static std::string Fold(std::string_view key);
  const Entry* Lookup(std::string_view key) const;

  std::map<std::string, Entry> values_;
  std::vector<std::string> order_;
  mutable std::vector<std::string> reads_;
};

}  // namespace vorela
