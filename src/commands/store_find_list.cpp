#include "commands/store_find_list.hpp"

#include <memory>

#include "commands/window_store_lock.hpp"
#include "core/text.hpp"
#include "store/store_find.hpp"

namespace quarnex {

namespace {

// A description on one row: its lines joined by " / ".
std::string OneRow(const std::string& text) {
    std::string row;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, kCrLf.size(), kCrLf) == 0) {
            row += " / ";
            at += kCrLf.size();
        } else {
            row += text[at++];
        }
    }
    return row;
}

FindListRow RowOf(const FindMatch& match) {
    std::string found = match.text;
    if (match.in == FoundIn::DiskId) {
        found = "Disk ID: " + match.text;
    } else if (match.in == FoundIn::Description) {
        found = "Description: " + OneRow(match.text);
    }
    return {match.slot, ThreeDigits(match.slot), match.diskId, std::move(found)};
}

std::string CountText(std::size_t count) {
    return count == 1 ? "1 match" : std::to_string(count) + " matches";
}

}  // namespace

FindListing FindInSelectedStore(WindowContext& ctx, const std::string& pattern) {
    FindListing listing;
    if (ctx.state.selectedDevice == 0) {
        listing.note = "Select a store first.";
        return listing;
    }
    const std::string path = ctx.state.SelectedEntry().path;
    const std::unique_ptr<StoreLock> lock = LockSelectedStore(ctx, LockKind::Shared);
    if (!lock) {
        listing.note = "Nothing was searched: another program is using " + path + ".";
        return listing;
    }
    const FindResult found = FindInStore(ctx, ctx.state.SelectedStore(), pattern);
    for (const FindMatch& match : found.matches) {
        listing.rows.push_back(RowOf(match));
    }
    if (found.result.outcome == Outcome::NotStarted) {
        listing.note = "Nothing was searched: " + path + " could not be opened.";
    } else if (found.result.outcome == Outcome::Incomplete) {
        if (!found.result.Cancelled()) {
            ctx.progress.Failed();
        }
        listing.note = CountText(found.matches.size()) + "; the search " +
                       (found.result.Cancelled() ? "was cancelled" : "failed") + " at slot " +
                       ThreeDigits(found.result.unit) +
                       ", the slots from there on were not searched.";
    } else {
        listing.note = found.matches.empty()
                           ? "Nothing in " + path + " matches \"" + pattern + "\"."
                           : CountText(found.matches.size()) + " in " + path + ".";
    }
    return listing;
}

}  // namespace quarnex
