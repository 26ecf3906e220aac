#pragma once

namespace lumi {

/// The browser's three sidebar modes, in toolbar order: collections, latest, today and search;
/// the places catalog; the user's playlists and favorites.
enum class BrowseMode { home, places, playlists };

} // namespace lumi
