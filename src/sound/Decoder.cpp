#include "sound/Decoder.h"

#include "platform/Logging.h"
#include "sound/DecoderSeeker.h"
#include "sound/DecoderSession.h"
#include "sound/FfmpegLog.h"
#include "sound/SoundFile.h"
#include "sound/TagReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <utility>

namespace gx {

struct Decoder::Impl {
    explicit Impl(std::unique_ptr<SoundFile> file)
        : session(std::move(file))
        , seeker(session)
    {
    }
    DecoderSession session;
    DecoderSeeker seeker;
};

Decoder::Decoder(std::unique_ptr<Impl> impl)
    : d_(std::move(impl))
{
}

Decoder::~Decoder() = default;

std::unique_ptr<Decoder> Decoder::open(const std::string& path, OpenFailure* failure)
{
    std::unique_ptr<SoundFile> file = SoundFile::open(path, failure);
    if (!file)
        return nullptr;
    const FfmpegLog scope(path);
    auto impl = std::make_unique<Impl>(std::move(file));
    DecoderSession& session = impl->session;
    // The first frame proves that the stream decodes (an encrypted one does
    // not) and fixes the timestamp of frame 0.
    if (!session.open() || !impl->seeker.scan() || !session.decodeNext()) {
        if (failure)
            *failure = OpenFailure::noSound;
        return nullptr;
    }
    session.startPts = session.lastPts;
    impl->seeker.fixLength();
    qCDebug(logDecoder).noquote() << "opened" << QString::fromStdString(path) << "as" << session.fmt->iformat->name
                                  << avcodec_get_name(session.codec->codec_id) << session.sampleRate << "Hz,"
                                  << impl->seeker.frames() << "frames";
    return std::unique_ptr<Decoder>(new Decoder(std::move(impl)));
}

std::optional<TrackTags> Decoder::readTags(const std::string& path)
{
    return TagReader::read(path);
}

std::map<std::string, std::string> Decoder::metadata() const
{
    std::map<std::string, std::string> tags;
    for (const AVDictionary* dict :
        {d_->session.fmt->metadata, d_->session.fmt->streams[d_->session.streamIndex]->metadata}) {
        const AVDictionaryEntry* e = nullptr;
        while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)))
            tags.emplace(e->key, e->value ? e->value : "");
    }
    return tags;
}

int Decoder::sampleRate() const
{
    return d_->session.sampleRate;
}

std::int64_t Decoder::estimatedFrames() const
{
    return d_->seeker.frames();
}

std::int64_t Decoder::position() const
{
    return d_->session.position();
}

int Decoder::read(float* out, int maxFrames)
{
    if (!out || maxFrames <= 0 || !d_->session.fmt)
        return 0;
    const FfmpegLog scope(d_->session.file->path());
    return d_->session.read(out, maxFrames);
}

void Decoder::seek(std::int64_t frame)
{
    const FfmpegLog scope(d_->session.file->path());
    d_->seeker.seek(frame);
}

} // namespace gx
