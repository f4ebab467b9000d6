c     VexnorScript.h: names shared by the generated tuning routines and
c     the user's program; include once in every program unit that uses
c     them, after IMPLICIT statements, before executable statements.
c     It brings in the MPI declarations of mpif.h: do not include
c     mpif.h a second time in the same program unit.
      include 'mpif.h'

c     Error argument of the MPI calls: local to each program unit.
      integer ierr

c     Set by the user's main program after MPI_INIT: the MPI process
c     number (MPI_COMM_RANK), the number of processes (MPI_COMM_SIZE),
c     the range and step of the tuned problem sizes and the print level
c     of the measurements.  Vexnor_DYNAMICTUNE switches run-time tuning
c     on and off (set by Vexnor_ATset and Vexnor_ATexec).
      integer myid
      integer Vexnor_NUMPROCS
      integer Vexnor_STARTTUNESIZE, Vexnor_ENDTUNESIZE
      integer Vexnor_SAMPDIST
      integer Vexnor_DEBUG
      logical Vexnor_DYNAMICTUNE
      common /VexnorShared/ myid, Vexnor_NUMPROCS,
     &       Vexnor_STARTTUNESIZE, Vexnor_ENDTUNESIZE,
     &       Vexnor_SAMPDIST, Vexnor_DEBUG, Vexnor_DYNAMICTUNE

c     Bounds of the least-squares fitting arrays: samples per fit,
c     polynomial order and number of cases.
      integer VexnorLSM_MAX_N, VexnorLSM_MAX_M, VexnorLSM_MAX_NPARM
      parameter (VexnorLSM_MAX_N = 512)
      parameter (VexnorLSM_MAX_M = 9)
      parameter (VexnorLSM_MAX_NPARM = 4096)
