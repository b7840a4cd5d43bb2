// Both blurs walked pixel by pixel with edge-replicating cursors, for sub-sampled planes (step
// above 1): there a cursor's steps and its clamping in plane pixels do not reduce to a plain
// shifted window, so the blurs follow the cursors themselves. Slow, and used by no plane the
// module makes today.
#include <cstdlib>

#include "engine/blur_paths.h"

namespace {

using Step = void (*)(PixelCursor*);

struct Line {
  bool horizontal;
  int32 fixed;  // the row (horizontal) or column (vertical) of the line
  PixelCursor at(const ImagePlane& plane, int32 along) const {
    return horizontal ? positionCursor(plane, along, fixed) : positionCursor(plane, fixed, along);
  }
  Step step() const { return horizontal ? stepRight : stepDown; }
};

void addSamples(int32* sums, const PixelCursor& cursor, int32 weight) {
  sums[0] += weight * *cursor.channel0;
  sums[1] += weight * *cursor.channel1;
  sums[2] += weight * *cursor.channel2;
}

void storeSamples(const PixelCursor& cursor, const int32* values) {
  *cursor.channel0 = uint8(values[0]);
  *cursor.channel1 = uint8(values[1]);
  *cursor.channel2 = uint8(values[2]);
}

struct SteppedKernel {
  int32 reach;  // Ks: the half-width rounded down to a multiple of the step
  int32 sum;    // S
};

SteppedKernel steppedKernel(const GaussianKernel& kernel, int32 step) {
  SteppedKernel stepped{(kernel.halfWidth / step) * step, kernel.weights[0]};
  for (int32 d = step; d <= kernel.halfWidth; d += step) stepped.sum += 2 * kernel.weights[d];
  return stepped;
}

void gaussianLine(const GaussianKernel& kernel, const SteppedKernel& stepped, const Line& line,
                  const ImagePlane& read, const ImagePlane& write, int32 from, int32 to) {
  int32 step = read.step;
  PixelCursor out = line.at(write, from);
  for (int32 position = from; position < to; position += step) {
    PixelCursor in = line.at(read, position - stepped.reach);
    int32 sums[3] = {0, 0, 0};
    for (int32 d = -stepped.reach; d <= stepped.reach; d += step) {
      addSamples(sums, in, kernel.weights[std::abs(d)]);
      line.step()(&in);
    }
    int32 values[3] = {sums[0] / stepped.sum, sums[1] / stepped.sum, sums[2] / stepped.sum};
    storeSamples(out, values);
    line.step()(&out);
  }
}

void boxLine(const BoxPlan& plan, const Line& line, const ImagePlane& read, const ImagePlane& write,
             int32 from, int32 to) {
  int32 ks = plan.halfWindowDocument;
  int32 sums[3] = {0, 0, 0};
  PixelCursor prime = line.at(read, from - ks);
  for (int32 t = 0; t < 2 * plan.halfWindow + 1; ++t) {
    addSamples(sums, prime, 1);
    line.step()(&prime);
  }
  PixelCursor trailing = line.at(read, from - ks);
  PixelCursor leading = line.at(read, from + ks);
  PixelCursor out = line.at(write, from);
  for (int32 position = from; position < to; position += read.step) {
    int32 values[3];
    for (int c = 0; c < 3; ++c) values[c] = divideWindowSum(plan.divisor, uint32(sums[c]));
    storeSamples(out, values);
    addSamples(sums, trailing, -1);
    line.step()(&trailing);
    line.step()(&leading);
    line.step()(&out);
    addSamples(sums, leading, 1);
  }
}

// Runs `passes` box passes along one direction over `rect`, each e = (passes-1-j) * ks wider on
// both sides, swapping the read and write planes after every pass.
void boxPhase(const BoxPlan& plan, bool horizontal, const Rect& rect, int32 passes,
              ImagePlane** read, ImagePlane** write) {
  int32 step = (*read)->step;
  int32 lineFrom = horizontal ? rect.top : rect.left;
  int32 lineTo = horizontal ? rect.bottom : rect.right;
  int32 from = horizontal ? rect.left : rect.top;
  int32 to = horizontal ? rect.right : rect.bottom;
  for (int32 pass = 0; pass < passes; ++pass) {
    int32 extra = (passes - 1 - pass) * plan.halfWindowDocument;
    for (int32 fixed = lineFrom; fixed < lineTo; fixed += step) {
      boxLine(plan, Line{horizontal, fixed}, **read, **write, from - extra, to + extra);
    }
    ImagePlane* swap = *read;
    *read = *write;
    *write = swap;
  }
}

}  // namespace

bool gaussianCursors(const GaussianKernel& kernel, const ImagePlane& source,
                     ImagePlane* destination, int32 horizontalMargin, int32 verticalMargin,
                     HandleMemory memory) {
  SteppedKernel stepped = steppedKernel(kernel, source.step);
  Rect work = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
  OwnedPlane horizontal = ownPlane(memory, copyPlane(memory, *destination));
  if (horizontal == nullptr || !lockPlane(memory, horizontal.get())) {
    return false;
  }
  for (int32 y = work.top; y < work.bottom; y += source.step) {
    gaussianLine(kernel, stepped, Line{true, y}, source, *horizontal, work.left, work.right);
  }
  for (int32 x = work.left; x < work.right; x += source.step) {
    gaussianLine(kernel, stepped, Line{false, x}, *horizontal, *destination, work.top, work.bottom);
  }
  return true;
}

bool boxCursors(const BoxPlan& plan, const ImagePlane& source, ImagePlane* destination,
                int32 horizontalMargin, int32 verticalMargin, HandleMemory memory) {
  OwnedPlane a = ownPlane(memory, copyPlane(memory, source));
  OwnedPlane b = ownPlane(memory, copyPlane(memory, *destination));
  bool ok =
      a != nullptr && b != nullptr && lockPlane(memory, a.get()) && lockPlane(memory, b.get());
  if (ok) {
    int32 ks = plan.halfWindowDocument;
    Rect rows = grownRect(source.inner, source.area, horizontalMargin, verticalMargin + 3 * ks);
    Rect work = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
    ImagePlane* read = a.get();
    ImagePlane* write = b.get();
    boxPhase(plan, true, rows, plan.horizontalPasses, &read, &write);
    boxPhase(plan, false, work, 3, &read, &write);
    copyRegion(destination, work.left, work.top, *read, work.left, work.top, work);
  }
  return ok;
}
