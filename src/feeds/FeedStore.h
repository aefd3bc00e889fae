#pragma once
// The headline store shared by the user-interface thread and the feed
// workers, with every rule of sharing it: what a cycle may commit and when,
// which record comes next, and when the display is told to show a new
// screen. Each listed feed's records are kept apart, in list order, so one
// feed's records can be replaced, or kept, without touching the others.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "feeds/FeedItem.h"
#include "feeds/FeedOutcome.h"

namespace quorvane {

inline constexpr uint32_t kDefaultRefreshIntervalMs = 30 * 60 * 1000;

class FeedStore {
 public:
  // `postNextScreen` tells the display that a new screen may be due; it is
  // called under the store's lock, so it must only post.
  explicit FeedStore(std::function<void()> postNextScreen);
  FeedStore(const FeedStore&) = delete;
  FeedStore& operator=(const FeedStore&) = delete;

  // A new list: no records, the cursor at the first one, every feed "not
  // tried". Returns the generation that the new list's cycles commit with;
  // anything an older generation hands in from now on is dropped.
  uint64_t Reset(const std::vector<std::u16string>& urls);
  // Drops everything older generations hand in, without a new list.
  void Close();

  // A cycle begins. While the store is empty, each feed's records go in as
  // soon as they are read, so the first headline waits for no other feed;
  // otherwise the cycle's records replace the store at its end.
  void BeginCycle(uint64_t generation);
  // One feed of the cycle ended: its outcome is recorded at once (the time of
  // its last success and its title kept from before when it failed). An
  // outcome of HTTP 304 keeps the feed's records of the last cycle. The
  // answer's validators go in with its records, never before them: a
  // published outcome carries those of the records the store holds, so a
  // cycle given up part-way cannot have a later 304 keep records they are
  // not of.
  void FeedDone(uint64_t generation, size_t index, FeedOutcome outcome, std::vector<FeedItem> records);
  // The cycle ended: its records, with their validators, become the store.
  // Returns the number of records stored, or nothing when the generation is
  // over.
  std::optional<size_t> EndCycle(uint64_t generation);

  // Round robin over the records in list order. When there are none: the
  // placeholder, or, once every listed feed has failed, the record that
  // says so.
  FeedItem Next();
  // The record before the one Next handed out last, which Next then follows.
  FeedItem Previous();
  std::shared_ptr<const FeedOutcomeSnapshot> Outcomes() const;

  void SetRefreshIntervalMs(uint32_t ms) { refreshIntervalMs_ = ms; }
  uint32_t RefreshIntervalMs() const { return refreshIntervalMs_; }

 private:
  // One feed's records and the validators of the answer they came from,
  // which only ever change together.
  struct KeptFeed {
    std::vector<FeedItem> records;
    std::string etag;
    std::string lastModified;
  };

  FeedItem StatusItem() const;
  const FeedItem& RecordAt(size_t position) const;
  // Made before the store changes, so a failure leaves it as it was.
  std::shared_ptr<const FeedOutcomeSnapshot> Snapshot(std::vector<std::shared_ptr<const FeedOutcome>> outcomes) const;
  // The outcomes with the validators of `feeds`; nothing when they have them.
  std::shared_ptr<const FeedOutcomeSnapshot> WithValidatorsOf(const std::vector<KeptFeed>& feeds) const;

  const std::function<void()> postNextScreen_;
  mutable std::mutex lock_;
  uint64_t generation_ = 0;
  std::vector<KeptFeed> records_;  // one per feed, in list order
  std::vector<KeptFeed> cycle_;    // the cycle under way, while it does not fill the store
  size_t count_ = 0;               // records in records_
  size_t cursor_ = 0;              // the position Next hands out
  bool filling_ = false;
  std::shared_ptr<const FeedOutcomeSnapshot> outcomes_;
  std::atomic<uint32_t> refreshIntervalMs_{kDefaultRefreshIntervalMs};
};

}  // namespace quorvane
