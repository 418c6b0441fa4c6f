#include "platform/mfc/Document.h"

const CRuntimeClass CDocument::classCDocument = {"CDocument", 0xFFFF, nullptr, RUNTIME_CLASS(CObject), nullptr};
