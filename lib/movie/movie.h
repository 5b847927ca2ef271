#ifndef VEXLO_MOVIE_MOVIE_H
#define VEXLO_MOVIE_MOVIE_H

int ReleaseMovieSurfaces();
int RestoreMovieSurfaces();
int PlayAllMovies();
int PauseAllMovies();

#endif
