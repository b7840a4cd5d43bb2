// A colour engine that gives the document's own colours back.
//
// The filter sharpens CMYK, Lab and grayscale documents in RGB: it asks the host for the RGB of
// each document colour, works on that, and asks for the document colour of each RGB result. A
// plain engine answers the second question from the RGB alone, so a colour the filter did not
// touch comes back different wherever the way back is not the exact inverse of the way there:
// CMYK gets the engine's black generation instead of the original's, Lab colours outside RGB's
// gamut are pulled inside. This engine remembers, for each RGB answer it gave, the document
// colour it came from (the first one, when several give the same RGB) and answers the way back
// with it; only RGB colours the filter made itself go to the wrapped engine. Conversions
// between other pairs of spaces pass through unchanged.
// It remembers at most kColorMemoryLimit colours (a few tens of megabytes); past that, new
// colours take the wrapped engine's answer both ways.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "hostapp/color_engine.h"

constexpr size_t kColorMemoryLimit = size_t(1) << 22;

class RememberingColorEngine : public ColorEngine {
 public:
  explicit RememberingColorEngine(std::unique_ptr<ColorEngine> engine);
  bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) override;
  size_t remembered() const { return origins_.size(); }

  // Document colours by key (space and RGB), in one flat table probed linearly: every pixel of
  // a document that is not RGB asks twice, and a node per colour would cost more than the
  // conversion. Key 0 marks an empty slot; no key is 0, since the space byte of a document
  // space never is. The first value stored for a key stays.
  class Origins {
   public:
    size_t size() const { return count_; }
    // The value stored for key into *value; false when there is none.
    bool find(uint32_t key, uint32_t* value) const;
    void insert(uint32_t key, uint32_t value);

   private:
    void grow();
    std::vector<uint64_t> slots_;  // key in the high half, value in the low
    size_t count_ = 0;
  };

 private:
  std::unique_ptr<ColorEngine> engine_;
  // Key: the document space and the RGB colour; value: the document colour's components.
  Origins origins_;
};
