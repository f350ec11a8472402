# The annotation layer: objects, the ".ant" file, drawing and burning in
# (drawing through Qt's painter, so this part links Qt Gui).
list(APPEND KV_ENGINE_SOURCES
  annotationobject.cpp annotationobject.h
  annotationformat.cpp annotationformat.h
  annotationpages.cpp annotationpages.h
  annotationlayer.cpp annotationlayer.h
  annotationpainter.cpp annotationpainter.h
  annotationhittest.cpp annotationhittest.h
  annotationsettings.cpp annotationsettings.h annotationkinds.h
  annotationediting.cpp annotationediting.h
  annotationhistory.cpp annotationhistory.h
  annotationnodes.cpp annotationnodes.h
  annotationpictures.cpp annotationpictures.h
  annotationgroup.cpp annotationgroup.h
  annotationentries.cpp
)
list(APPEND KV_ENGINE_LIBS Qt6::Gui)
