#include "feeds/FeedStore.h"

#include <ctime>

namespace quorvane {

FeedStore::FeedStore(std::function<void()> postNextScreen)
    : postNextScreen_(std::move(postNextScreen)), outcomes_(std::make_shared<FeedOutcomeSnapshot>()) {}

uint64_t FeedStore::Reset(const std::vector<std::u16string>& urls) {
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes;
  outcomes.reserve(urls.size());
  for (const auto& url : urls) outcomes.push_back(std::make_shared<const FeedOutcome>(NotTriedOutcome(url)));
  std::lock_guard<std::mutex> guard(lock_);
  records_.assign(urls.size(), {});
  cycle_.clear();
  count_ = 0;
  cursor_ = 0;
  filling_ = false;
  Publish(std::move(outcomes));
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
  if (notModified) {
    // The feed is as it was: its records of the last cycle stay, in their place.
    records = records_[index];
    outcome.recordCount = static_cast<uint32_t>(records.size());
    if (outcome.feedTitle.empty()) outcome.feedTitle = before.feedTitle;
    if (outcome.etag.empty() && outcome.lastModified.empty()) {
      outcome.etag = before.etag;
      outcome.lastModified = before.lastModified;
    }
  }
  if (outcome.state == FeedState::Ok) {
    outcome.lastSuccess = static_cast<int64_t>(std::time(nullptr));
  } else {
    outcome.lastSuccess = before.lastSuccess;
    if (outcome.feedTitle.empty()) outcome.feedTitle = before.feedTitle;
  }
  // The snapshot is shared with readers: a new one, sharing the other outcomes.
  std::vector<std::shared_ptr<const FeedOutcome>> outcomes = outcomes_->outcomes;
  outcomes[index] = std::make_shared<const FeedOutcome>(std::move(outcome));
  Publish(std::move(outcomes));

  if (!filling_) {
    if (index < cycle_.size()) cycle_[index] = std::move(records);
    return;
  }
  if (records.empty() || notModified) return;
  size_t offset = 0;
  for (size_t i = 0; i < index; ++i) offset += records_[i].size();
  // The records on screen keep their turn: those before the cursor moved on.
  if (count_ > 0 && offset < cursor_) cursor_ += records.size();
  count_ += records.size();
  records_[index] = std::move(records);
  postNextScreen_();
}

std::optional<size_t> FeedStore::EndCycle(uint64_t generation) {
  std::lock_guard<std::mutex> guard(lock_);
  if (generation != generation_) return std::nullopt;
  if (!filling_) {
    records_ = std::move(cycle_);
    count_ = 0;
    for (const auto& feed : records_) count_ += feed.size();
  }
  cycle_.clear();
  filling_ = false;
  if (cursor_ >= count_) cursor_ = 0;
  postNextScreen_();
  return count_;
}

const FeedItem& FeedStore::RecordAt(size_t position) const {
  for (const auto& feed : records_) {
    if (position < feed.size()) return feed[position];
    position -= feed.size();
  }
  return records_.front().front();  // not reached: position < count_
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

void FeedStore::Publish(std::vector<std::shared_ptr<const FeedOutcome>> outcomes) {
  auto snapshot = std::make_shared<FeedOutcomeSnapshot>();
  snapshot->generation = outcomes_->generation + 1;
  snapshot->outcomes = std::move(outcomes);
  outcomes_ = std::move(snapshot);
}

}  // namespace quorvane
