#include "playback/visualizer/Visualizer.h"

TWL_IMPLEMENT_CLASS(CVisualizer, CControlWindowUser)
