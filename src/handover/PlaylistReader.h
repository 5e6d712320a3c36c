#pragma once
// Reads the playlists people keep: M3U and M3U8 (one entry a line, "#" lines
// skipped) and PLS ("FileN=" entries, taken in N order). Entries are paths
// relative to the playlist's folder, absolute paths or file: URIs; the text
// is UTF-8 (or Latin-1) with or without a byte-order mark, or UTF-16 with
// one, its lines ending in LF, CR LF or a lone CR. Plain code on the bytes:
// whether an entry exists is for the caller to ask.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gx {

enum class PlaylistKind { none, m3u, pls };

// By the name's extension (m3u, m3u8, pls; any case).
PlaylistKind playlistKindOf(const QString& path);

struct PlaylistEntries {
    // Absolute, cleaned paths, in the playlist's order.
    QStringList paths;
    // Entries that name no local file (a web address, a broken URI).
    int unusable = 0;
};

// The entries of a playlist's text; relative ones are taken from `folder`.
PlaylistEntries readPlaylist(const QByteArray& text, PlaylistKind kind, const QString& folder);

} // namespace gx
