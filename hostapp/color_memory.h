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
//
// In front of all this sit the answers last given (Answers): a photograph asks about the same
// colours again and again (a Lab document for every pixel, each way), and a conversion through
// the wrapped engine or the remembered colours costs far more than one look into a small table.
// Only answers that cannot have changed since are given from there: the wrapped engine's
// answers (it converts each colour the same way every time), and the way back once it came
// from the remembered colours (the first colour stored for an RGB value stays). An RGB value
// the wrapped engine converted back is looked up in the remembered colours again each time,
// since a later document colour may since have given that RGB.
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
  // The last answers, one per slot by a hash of the question: the two spaces and the four
  // components in and out (components the conversion does not use come back as they went in).
  // Only questions whose components are all 0..255 and whose spaces are below 8 are kept.
  class Answers {
   public:
    static constexpr int kSlotBits = 16;
    struct Answer {
      uint64_t question;  // kAsked | origin | spaces and components; 0 when empty
      int16 components[4];
    };
    static constexpr uint64_t kAsked = uint64_t(1) << 63;
    // Set on an answer taken from the remembered colours.
    static constexpr uint64_t kRemembered = uint64_t(1) << 62;
    // The question's key, or 0 when it cannot be kept.
    static uint64_t keyOf(int16 sourceSpace, int16 resultSpace, const int16 components[4]);
    Answer& slotOf(uint64_t key);

   private:
    std::vector<Answer> slots_ = std::vector<Answer>(size_t(1) << kSlotBits);
  };

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
  // The wrapped engine's conversion, from the answers when they hold it.
  bool convertByEngine(int16 sourceSpace, int16 resultSpace, int16 components[4],
                       Answers::Answer* slot, uint64_t key);

  std::unique_ptr<ColorEngine> engine_;
  Answers answers_;
  // Key: the document space and the RGB colour; value: the document colour's components.
  Origins origins_;
};
