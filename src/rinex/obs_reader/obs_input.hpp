// The input layers of an observation file, chosen by its name.
//
//   file or memory bytes -> [gzip] -> LineSplitter (lines, UTF-8 checked)
//
// `stack_obs_layers` is the one place that decides which layers a name
// selects; further decoders (byte layers below the splitter, line layers
// above it) belong there. The content never decides: a gzip file without
// the "gz" extension is read as text (and normally fails as not UTF-8).
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// The last component of a slash-separated path ("a/b.gz" -> "b.gz"),
// trailing slashes ignored.
std::string_view last_path_component(std::string_view path);

// The text after the last full stop of the last component; nothing when it
// has no full stop, or when its only full stop is its first character
// (".profile"), or for "." and "..".
std::optional<std::string_view> file_extension(std::string_view path);

// True when the extension is exactly "gz" (lower case).
bool has_gzip_extension(std::string_view path);

// Stacks the decoders that `name` selects on `raw` and splits into lines.
std::unique_ptr<LineSource> stack_obs_layers(std::unique_ptr<ByteSource> raw,
                                             std::string_view name);

// The lines of the file at `path`: FileNotFound when its metadata cannot be
// read (it does not exist), Io when it cannot be opened.
Result<std::unique_ptr<LineSource>> open_obs_file(const std::string& path);

// The lines of bytes in memory that came from a file called `name`. The
// bytes must outlive the source.
std::unique_ptr<LineSource> open_obs_bytes(std::span<const char> data, std::string_view name);

}  // namespace skyloam
