#include "runtime/wizard/BuiltinDialogs.h"

#include <cstddef>

#include "core/compress/CDecompressor.h"

namespace velkan::runtime {

namespace {

// kBothBlocksSize, kPlainBlock and kPackedBlocks, written at build time by MakeBuiltinDialogs.
#include "BuiltinDialogs.inc"

}  // namespace

std::vector<uint8_t> BuiltinDialogBlock(bool withBitmap)
{
    std::vector<uint8_t> both =
        CDecompressor::Unpack(kPackedBlocks, sizeof kPackedBlocks, kBothBlocksSize);
    if (withBitmap) return std::vector<uint8_t>(both.begin() + sizeof kPlainBlock, both.end());
    both.resize(sizeof kPlainBlock);
    return both;
}

std::vector<uint8_t> BuiltinPlainDialogBlock()
{
    return std::vector<uint8_t>(kPlainBlock, kPlainBlock + sizeof kPlainBlock);
}

}  // namespace velkan::runtime
