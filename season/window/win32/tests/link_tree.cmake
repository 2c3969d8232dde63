# Lays out STAGE/link-tree/ for the end-to-end test of the link rule: two generic
# add-ons, Alpha as it is installed and Beta whose Texture folder is a symbolic link
# to STAGE/link-outside/Texture, a folder outside the tree. The sandbox runner copies
# the stage with the link as a link; Wine shows a Unix link to a folder as a reparse
# point and resolves it (it makes no link of its own: CreateSymbolicLinkW does
# nothing there and junctions are refused). Where no link can be made, the tree has
# no Beta\Texture and the test says so.
set(tree ${STAGE}/link-tree)
set(outside ${STAGE}/link-outside/Texture)
foreach(season treesSU treeshw)
    file(WRITE ${tree}/Alpha/Texture/Default/${season}.bmp "Alpha ${season}")
    file(WRITE ${outside}/Default/${season}.bmp "outside ${season}")
endforeach()
file(WRITE ${tree}/Alpha/Texture/treesSU.bmp "Alpha active")
file(WRITE ${outside}/treesSU.bmp "a file the user may not write")
file(MAKE_DIRECTORY ${tree}/Beta)
file(CREATE_LINK ../../link-outside/Texture ${tree}/Beta/Texture SYMBOLIC RESULT made)
