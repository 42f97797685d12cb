#include "support/archive_files.h"

#include "archives/utf8_names.h"
#include "files/utf8_path.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <stdexcept>

namespace romc::test {

namespace {

struct WriterDeleter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};

void check(archive* writer, int status, const char* what) {
    if (status < ARCHIVE_WARN) {
        throw std::runtime_error(std::string(what) + ": " + archive_error_string(writer));
    }
}

void chooseFormat(archive* writer, ArchiveFormat format) {
    switch (format) {
    case ArchiveFormat::ZipStored:
        check(writer, archive_write_set_format_zip(writer), "zip");
        check(writer, archive_write_set_options(writer, "zip:compression=store"), "store");
        break;
    case ArchiveFormat::ZipDeflate:
        check(writer, archive_write_set_format_zip(writer), "zip");
        check(writer, archive_write_set_options(writer, "zip:compression=deflate"), "deflate");
        break;
    case ArchiveFormat::SevenZipLzma:
        check(writer, archive_write_set_format_7zip(writer), "7z");
        check(writer, archive_write_set_options(writer, "7zip:compression=lzma1,7zip:compression-level=1"),
              "lzma1");
        break;
    case ArchiveFormat::SevenZipLzma2:
        check(writer, archive_write_set_format_7zip(writer), "7z");
        check(writer, archive_write_set_options(writer, "7zip:compression=lzma2,7zip:compression-level=1"),
              "lzma2");
        break;
    case ArchiveFormat::Gzip:
        check(writer, archive_write_set_format_raw(writer), "raw");
        check(writer, archive_write_add_filter_gzip(writer), "gzip");
        break;
    }
}

} // namespace

void writeArchive(const std::filesystem::path& path, ArchiveFormat format,
                  const std::vector<ArchiveEntry>& entries, const std::string& passphrase) {
    const Utf8Names names; // the writer converts names through the thread's character set, as the reader
    std::unique_ptr<archive, WriterDeleter> owned(archive_write_new());
    archive* writer = owned.get();
    chooseFormat(writer, format);
    if (!passphrase.empty()) {
        check(writer, archive_write_set_options(writer, "zip:encryption=zipcrypt"), "encryption");
        check(writer, archive_write_set_passphrase(writer, passphrase.c_str()), "passphrase");
    }
    const std::u8string name = path.u8string();
#ifdef _WIN32
    check(writer, archive_write_open_filename_w(writer, path.c_str()), "open");
#else
    check(writer, archive_write_open_filename(writer, reinterpret_cast<const char*>(name.c_str())), "open");
#endif
    for (const auto& entry : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> header(archive_entry_new(),
                                                                             archive_entry_free);
#ifdef _WIN32
        // There the writer mangles a UTF-8 name outside ASCII ("ö" came back as U+FFF6 under wine); a wide
        // name goes through whole.
        archive_entry_copy_pathname_w(header.get(), pathFromUtf8(entry.name).wstring().c_str());
#else
        archive_entry_set_pathname_utf8(header.get(), entry.name.c_str());
#endif
        archive_entry_set_perm(header.get(), 0644);
        if (entry.linkTarget.empty()) {
            archive_entry_set_filetype(header.get(), AE_IFREG);
            archive_entry_set_size(header.get(), static_cast<la_int64_t>(entry.bytes.size()));
        } else {
            archive_entry_set_filetype(header.get(), AE_IFLNK);
            archive_entry_set_symlink_utf8(header.get(), entry.linkTarget.c_str());
            archive_entry_set_size(header.get(), 0);
        }
        check(writer, archive_write_header(writer, header.get()), "header");
        if (!entry.bytes.empty() && archive_write_data(writer, entry.bytes.data(), entry.bytes.size()) !=
                                        static_cast<la_ssize_t>(entry.bytes.size())) {
            throw std::runtime_error(std::string("data: ") + archive_error_string(writer));
        }
        if (format == ArchiveFormat::Gzip) {
            break;
        }
    }
    check(writer, archive_write_close(writer), "close");
}

} // namespace romc::test
