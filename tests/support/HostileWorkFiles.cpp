// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HostileWorkFiles.h"

#include <zip.h>

#include <string>
#include <utility>

namespace hostile {

namespace {

using Entries = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

Entries Unzip(const std::vector<uint8_t> &bytes)
{
    Entries entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (source)
            zip_source_free(source);
        return entries;
    }
    for (int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, uint64_t(i), 0, &stat);
        std::vector<uint8_t> data(stat.size);
        zip_file_t *file = zip_fopen_index(archive, uint64_t(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        entries.emplace_back(stat.name, std::move(data));
    }
    zip_discard(archive);
    return entries;
}

std::vector<uint8_t> Zip(const Entries &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    zip_source_keep(memory);
    for (const auto &[name, data] : entries) {
        zip_source_t *s = zip_source_buffer(archive, data.data(), data.size(), 0);
        const int64_t index = zip_file_add(archive, name.c_str(), s, ZIP_FL_OVERWRITE);
        if (name == "mimetype")
            zip_set_file_compression(archive, uint64_t(index), ZIP_CM_STORE, 0);
    }
    zip_close(archive);
    std::vector<uint8_t> bytes;
    zip_source_open(memory);
    zip_source_seek(memory, 0, SEEK_END);
    bytes.resize(size_t(zip_source_tell(memory)));
    zip_source_seek(memory, 0, SEEK_SET);
    zip_source_read(memory, bytes.data(), bytes.size());
    zip_source_close(memory);
    zip_source_free(memory);
    return bytes;
}

std::vector<uint8_t> Text(const std::string &text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> &Entry(Entries &entries, const std::string &name)
{
    for (auto &[n, data] : entries)
        if (n == name)
            return data;
    entries.emplace_back(name, std::vector<uint8_t>());
    return entries.back().second;
}

void Erase(Entries &entries, const std::string &name)
{
    std::erase_if(entries, [&](const auto &e) { return e.first == name; });
}

void SetPngSize(std::vector<uint8_t> &png, uint32_t width, uint32_t height)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + size_t(i)] = uint8_t(width >> (24 - 8 * i));
        png[20 + size_t(i)] = uint8_t(height >> (24 - 8 * i));
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        png[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
}

std::string Stack(const std::string &size, const std::string &layers)
{
    return "<?xml version='1.0'?><image version='0.0.5' " + size + "><stack>" + layers
           + "</stack></image>";
}

const char *const kLayers = "<layer name='Colour' src='data/colour.png'/>"
                            "<layer name='Original' src='data/original.png'/>";

} // namespace

std::vector<HostileFile> HostileWorkFiles(const std::vector<uint8_t> &valid)
{
    const Entries base = Unzip(valid);
    std::vector<HostileFile> cases;
    const auto add = [&](const std::string &name, auto change) {
        Entries entries = base;
        change(entries);
        cases.push_back({"ora-" + name, Zip(entries)});
    };
    for (size_t cut :
         {size_t(0), size_t(4), size_t(30), valid.size() / 2, valid.size() - 22, valid.size() - 1})
        cases.push_back({"ora-cut" + std::to_string(cut),
                         std::vector<uint8_t>(valid.begin(), valid.begin() + long(cut))});
    add("no-mimetype", [](Entries &e) { Erase(e, "mimetype"); });
    add("wrong-mimetype", [](Entries &e) { Entry(e, "mimetype") = Text("image/png"); });
    add("no-stack", [](Entries &e) { Erase(e, "stack.xml"); });
    add("stack-not-xml", [](Entries &e) { Entry(e, "stack.xml") = Text("<image w='10' h=<"); });
    add("stack-unclosed", [](Entries &e) { Entry(e, "stack.xml") = Text("<image w='1' h='1'>"); });
    add("stack-laughs", [](Entries &e) {
        std::string doctype = "<!DOCTYPE image [<!ENTITY a0 'lol'>";
        for (int i = 1; i < 10; ++i)
            doctype += "<!ENTITY a" + std::to_string(i) + " '" + std::string(10, '&') + "a"
                       + std::to_string(i - 1) + ";'>";
        Entry(e, "stack.xml") = Text(doctype + "]><image w='10' h='10'>&a9;</image>");
    });
    add("stack-no-size", [](Entries &e) { Entry(e, "stack.xml") = Text(Stack("", kLayers)); });
    add("stack-huge-size",
        [](Entries &e) { Entry(e, "stack.xml") = Text(Stack("w='100000' h='100000'", kLayers)); });
    add("stack-negative-size",
        [](Entries &e) { Entry(e, "stack.xml") = Text(Stack("w='-10' h='10'", kLayers)); });
    add("stack-too-many-pixels",
        [](Entries &e) { Entry(e, "stack.xml") = Text(Stack("w='32767' h='32767'", kLayers)); });
    for (const char *path : {"../data/colour.png", "/data/colour.png", "data\\colour.png",
                             "data/../../colour.png", "C:/colour.png"})
        add(std::string("path-") + path, [path](Entries &e) {
            Entry(e, "stack.xml") =
                Text(Stack("w='10' h='10'", "<layer name='Colour' src='" + std::string(path)
                                                + "'/><layer name='Original' "
                                                  "src='data/original.png'/>"));
        });
    add("missing-colour-layer", [](Entries &e) { Erase(e, "data/colour.png"); });
    add("missing-original-layer", [](Entries &e) { Erase(e, "data/original.png"); });
    add("layer-not-png", [](Entries &e) { Entry(e, "data/colour.png") = Text("GIF89a"); });
    add("layers-of-different-sizes",
        [](Entries &e) { SetPngSize(Entry(e, "data/colour.png"), 10, 11); });
    add("layer-declares-huge-size",
        [](Entries &e) { SetPngSize(Entry(e, "data/original.png"), 30000, 30000); });
    add("layer-truncated", [](Entries &e) {
        auto &png = Entry(e, "data/colour.png");
        png.resize(png.size() / 2);
    });
    add("zip-bomb", [](Entries &e) {
        std::vector<uint8_t> &png = Entry(e, "data/colour.png");
        png.resize(64u << 20, 0); // a PNG header, then 64 MiB of zeros: deflates to little
    });
    add("too-many-layers", [](Entries &e) {
        std::string layers;
        for (int i = 0; i < 2000; ++i)
            layers += "<layer name='l' src='data/colour.png'/>";
        Entry(e, "stack.xml") = Text(Stack("w='10' h='10'", layers));
        Erase(e, "mergedimage.png");
    });
    add("foreign-no-picture", [](Entries &e) {
        Entry(e, "stack.xml") = Text(Stack("w='10' h='10'", ""));
        Erase(e, "mergedimage.png");
    });
    add("foreign-layer-missing", [](Entries &e) {
        Entry(e, "stack.xml") = Text(Stack("w='10' h='10'", "<layer name='a' src='a.png'/>"));
        Erase(e, "mergedimage.png");
    });
    return cases;
}

} // namespace hostile
