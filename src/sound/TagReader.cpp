#include "sound/TagReader.h"

#include "sound/FfmpegLog.h"
#include "sound/SoundFile.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace gx {

namespace {

// The picture formats a desktop (and our label) can show.
constexpr std::pair<AVCodecID, const char*> kPictures[] = {{AV_CODEC_ID_MJPEG, "jpg"}, {AV_CODEC_ID_PNG, "png"},
    {AV_CODEC_ID_GIF, "gif"}, {AV_CODEC_ID_BMP, "bmp"}, {AV_CODEC_ID_WEBP, "webp"}, {AV_CODEC_ID_TIFF, "tiff"}};

} // namespace

std::optional<TrackTags> TagReader::read(const std::string& path)
{
    const std::unique_ptr<SoundFile> file = SoundFile::open(path);
    if (!file)
        return std::nullopt;
    const FfmpegLog scope(path);
    const AVFormatContext* fmt = file->openDemuxer();
    if (!fmt)
        return std::nullopt;
    const AVStream* audio = nullptr;
    for (unsigned i = 0; i < fmt->nb_streams && !audio; ++i)
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            audio = fmt->streams[i];
    // Some containers (MPEG program streams) name their streams only as
    // their packets come; those that name theirs must have one of sound.
    if (!audio && fmt->nb_streams > 0)
        return std::nullopt;
    const auto tag = [&](const char* key) -> std::string {
        for (const AVDictionary* dict : {fmt->metadata, audio ? audio->metadata : nullptr})
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0); e && e->value && *e->value)
                return e->value;
        return {};
    };
    const auto names = [](std::string text) {
        return text.empty() ? std::vector<std::string> {} : std::vector<std::string> {std::move(text)};
    };
    TrackTags tags;
    tags.title = tag("title");
    tags.artists = names(tag("artist"));
    tags.album = tag("album");
    tags.albumArtists = names(tag("album_artist"));
    // "3" or "3/12".
    tags.trackNumber = std::max(0, std::atoi(tag("track").c_str()));
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVStream* st = fmt->streams[i];
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->attached_pic.size <= 0)
            continue;
        const auto known = std::find_if(std::begin(kPictures), std::end(kPictures),
            [&](const auto& p) { return p.first == st->codecpar->codec_id; });
        if (known == std::end(kPictures))
            continue;
        tags.cover.assign(
            reinterpret_cast<const char*>(st->attached_pic.data), static_cast<std::size_t>(st->attached_pic.size));
        tags.coverExtension = known->second;
        break;
    }
    return tags;
}

} // namespace gx
