// SPDX-License-Identifier: MIT
#pragma once

namespace varnow {

// Has the allocator keep freed memory for reuse instead of handing it back to the system at
// once. Every page's lines and document live in buffers of their own from cleaning to commit,
// allocated on one thread and, in a parallel run, freed on another; with glibc's defaults much
// of that memory goes back to the system page by page and is faulted in again, zeroed, for the
// next page. Called once, before threads start; does
// nothing where the allocator has no such settings.
void KeepFreedMemoryForReuse();

// Hands the memory freed so far back to the system, where the allocator keeps it otherwise.
// For a job that lets go of many small blocks (a document's) just before it needs one large
// one (a flat text): the small ones, freed but still resident, would count twice. Does
// nothing where the allocator has no such call.
void GiveFreedMemoryBack();

}  // namespace varnow
