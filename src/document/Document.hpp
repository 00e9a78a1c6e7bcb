#pragma once
// COLMDoc: the one owner of a project's state (placeholder; filled in next).
namespace olm {
class COLMDoc;
}
