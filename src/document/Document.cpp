#include "document/Document.hpp"
