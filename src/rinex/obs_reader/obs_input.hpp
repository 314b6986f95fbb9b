// The input layers of an observation file.
//
//   file or memory bytes -> [gzip | Unix compress] -> LineSplitter (lines,
//   UTF-8 checked) -> [compact RINEX decoder]
//
// `stack_obs_layers` is the one place that decides the layers. The name
// chooses the decompressor: extension exactly "gz" for gzip, exactly "Z" for
// Unix compress (so .crx.gz, .crx.Z, .21d.Z combine both layers); a
// compressed file under another name is read as text and normally fails as
// not UTF-8. Compact RINEX is recognised by its first line, whatever the
// name, because reading it as plain RINEX would silently give almost no data.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/gzip_source.hpp"

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

// `raw` with the decompressor its name asks for stacked on it (none for
// other names). The same rule serves every RINEX input. `reopen`, when
// given, reads the raw bytes again from their start: the gzip layer uses it
// to name damage as zlib does (gzip_source.hpp).
std::unique_ptr<ByteSource> decompress_by_name(std::unique_ptr<ByteSource> raw,
                                               std::string_view name, ReopenBytes reopen = {});

// The raw bytes of the file at `path`: FileNotFound when its metadata cannot
// be read (it does not exist), Io when it cannot be opened.
Result<std::unique_ptr<ByteSource>> open_file_bytes(const std::string& path);

// Stacks the decoders on `raw` and splits into lines; fails only when the
// first line cannot be read or announces an unknown compact RINEX version.
// `reopen` as for decompress_by_name.
Result<std::unique_ptr<LineSource>> stack_obs_layers(std::unique_ptr<ByteSource> raw,
                                                     std::string_view name,
                                                     ReopenBytes reopen = {});

// The lines of the file at `path`: FileNotFound when its metadata cannot be
// read (it does not exist), Io when it cannot be opened.
Result<std::unique_ptr<LineSource>> open_obs_file(const std::string& path);

// The lines of bytes in memory that came from a file called `name`. The
// bytes must outlive the source.
Result<std::unique_ptr<LineSource>> open_obs_bytes(std::span<const char> data,
                                                   std::string_view name);

}  // namespace skyloam
