; The peer: a plain NSIS installer of the same product files, zlib-compressed, for the benchmark.
;   makensis -DOUTFILE=... [-DPRODUCT_DIR=...] [-DEMPTY] [-DAMD64] veltmoor.nsi
Unicode true
!ifdef AMD64
Target amd64-unicode
!endif
SetCompressor zlib
Name "Veltmoor - A Harbor Chronicle"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tallowmere\Veltmoor A Harbor Chronicle"
RequestExecutionLevel user
Page directory
Page instfiles

Section
  SetOutPath "$INSTDIR"
!ifndef EMPTY
  File "${PRODUCT_DIR}/*.*"
!endif
SectionEnd
