#include "feeds/FeedStore.h"

#include <ctime>

namespace quorvane {

FeedStore::FeedStore(std::function<void()> postNextScreen)
    : postNextScreen_(std::move(postNextScreen)), outcomes_(std::make_shared<FeedOutcomeSnapshot>()) {}

uint64_t FeedStore::Reset(const std::vector<std::u16string>& urls) {
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes;
  outcomes.reserve(urls.size());
  for (const auto& url : urls) outcomes.push_back(std::make_shared<const FeedOutcome>(NotTriedOutcome(url)));
  std::vector<KeptFeed> empty(urls.size());
  std::lock_guard<std::mutex> guard(lock_);
  auto snapshot = Snapshot(std::move(outcomes));
  records_ = std::move(empty);
  cycle_.clear();
  count_ = 0;
  cursor_ = 0;
  filling_ = false;
  outcomes_ = std::move(snapshot);
  return ++generation_;
}

void FeedStore::Close() {
  std::lock_guard<std::mutex> guard(lock_);
  ++generation_;
}

void FeedStore::BeginCycle(uint64_t generation) {
  std::lock_guard<std::mutex> guard(lock_);
  if (generation != generation_) return;
  filling_ = count_ == 0;
  cycle_.assign(filling_ ? 0 : records_.size(), {});
}

void FeedStore::FeedDone(uint64_t generation, size_t index, FeedOutcome outcome, std::vector<FeedItem> records) {
  std::lock_guard<std::mutex> guard(lock_);
  if (generation != generation_ || index >= records_.size()) return;
  const FeedOutcome& before = *outcomes_->outcomes[index];
  const bool notModified = outcome.httpStatus == 304;
  // What the answer leaves of the feed; a feed that was not read has no
  // records for validators to be of.
  KeptFeed feed{std::move(records), {}, {}};
  if (outcome.state == FeedState::Ok) {
    feed.etag = std::move(outcome.etag);
    feed.lastModified = std::move(outcome.lastModified);
  }
  if (notModified) {
    // The feed is as it was: its records of the last cycle stay, in their
    // place, with the validators the answer confirmed (a bare 304 confirms
    // the ones they came with).
    KeptFeed kept = records_[index];
    if (!feed.etag.empty() || !feed.lastModified.empty()) {
      kept.etag = std::move(feed.etag);
      kept.lastModified = std::move(feed.lastModified);
    }
    feed = std::move(kept);
    outcome.recordCount = static_cast<uint32_t>(feed.records.size());
    if (outcome.feedTitle.empty()) outcome.feedTitle = before.feedTitle;
  }
  if (outcome.state == FeedState::Ok) {
    outcome.lastSuccess = static_cast<int64_t>(std::time(nullptr));
  } else {
    outcome.lastSuccess = before.lastSuccess;
    if (outcome.feedTitle.empty()) outcome.feedTitle = before.feedTitle;
  }
  // Until the cycle's end the store holds the feed's older records, and the
  // outcome their validators.
  const KeptFeed& held = filling_ ? feed : records_[index];
  outcome.etag = held.etag;
  outcome.lastModified = held.lastModified;
  // The snapshot is shared with readers: a new one, sharing the other outcomes.
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes = outcomes_->outcomes;
  outcomes[index] = std::make_shared<const FeedOutcome>(std::move(outcome));
  outcomes_ = Snapshot(std::move(outcomes));

  if (!filling_) {
    if (index < cycle_.size()) cycle_[index] = std::move(feed);
    return;
  }
  const size_t added = notModified ? 0 : feed.records.size();
  size_t offset = 0;
  for (size_t i = 0; i < index; ++i) offset += records_[i].records.size();
  records_[index] = std::move(feed);
  if (added == 0) return;
  // The records on screen keep their turn: those before the cursor moved on.
  if (count_ > 0 && offset < cursor_) cursor_ += added;
  count_ += added;
  postNextScreen_();
}

std::optional<size_t> FeedStore::EndCycle(uint64_t generation) {
  std::lock_guard<std::mutex> guard(lock_);
  if (generation != generation_) return std::nullopt;
  if (!filling_) {
    auto snapshot = WithValidatorsOf(cycle_);
    records_ = std::move(cycle_);
    if (snapshot) outcomes_ = std::move(snapshot);
    count_ = 0;
    for (const auto& feed : records_) count_ += feed.records.size();
  }
  cycle_.clear();
  filling_ = false;
  if (cursor_ >= count_) cursor_ = 0;
  postNextScreen_();
  return count_;
}

const FeedItem& FeedStore::RecordAt(size_t position) const {
  for (const auto& feed : records_) {
    if (position < feed.records.size()) return feed.records[position];
    position -= feed.records.size();
  }
  return records_.front().records.front();  // not reached: position < count_
}

FeedItem FeedStore::StatusItem() const {
  const auto& outcomes = outcomes_->outcomes;
  bool allFailed = !outcomes.empty();
  for (const auto& outcome : outcomes) allFailed = allFailed && outcome->state == FeedState::Failed;
  return allFailed ? NoFeedReadItem() : PlaceholderItem();
}

FeedItem FeedStore::Next() {
  std::lock_guard<std::mutex> guard(lock_);
  if (count_ == 0) return StatusItem();
  FeedItem item = RecordAt(cursor_);
  if (++cursor_ >= count_) cursor_ = 0;
  return item;
}

FeedItem FeedStore::Previous() {
  std::lock_guard<std::mutex> guard(lock_);
  if (count_ == 0) return StatusItem();
  // The cursor is one past the record on screen.
  const size_t previous = (cursor_ + 2 * count_ - 2) % count_;
  cursor_ = (previous + 1) % count_;
  return RecordAt(previous);
}

std::shared_ptr<const FeedOutcomeSnapshot> FeedStore::Outcomes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return outcomes_;
}

std::shared_ptr<const FeedOutcomeSnapshot> FeedStore::Snapshot(
    std::vector<std::shared_ptr<const FeedOutcome>> outcomes) const {
  auto snapshot = std::make_shared<FeedOutcomeSnapshot>();
  snapshot->generation = outcomes_->generation + 1;
  snapshot->outcomes = std::move(outcomes);
  return snapshot;
}

std::shared_ptr<const FeedOutcomeSnapshot> FeedStore::WithValidatorsOf(const std::vector<KeptFeed>& feeds) const {
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes = outcomes_->outcomes;
  bool changed = false;
  for (size_t i = 0; i < feeds.size() && i < outcomes.size(); ++i) {
    if (outcomes[i]->etag == feeds[i].etag && outcomes[i]->lastModified == feeds[i].lastModified) continue;
    auto outcome = std::make_shared<FeedOutcome>(*outcomes[i]);
    outcome->etag = feeds[i].etag;
    outcome->lastModified = feeds[i].lastModified;
    outcomes[i] = std::move(outcome);
    changed = true;
  }
  return changed ? Snapshot(std::move(outcomes)) : nullptr;
}

}  // namespace quorvane
